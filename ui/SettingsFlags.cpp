#include "ui/SettingsFlags.h"

qm::SettingsFlags& ProcessSettingsFlags() {
    static qm::SettingsFlags flags;  // 1 and 1 until read
    return flags;
}
