// The settings file "qmverify.ini", section "Config": the QMW and DB1 flags.
#pragma once

#include <cstdint>

namespace qm {

extern const char kSettingsFile[];  // "qmverify.ini", in the Windows directory

struct SettingsFlags {
    int checkQmw = 1;  // "CheckQmwFiles"
    int checkDb1 = 1;  // "CheckDb1Files"
};

// Missing file or key: 1.
SettingsFlags ReadSettingsFlags();
// Writes "CheckQmwFiles" then "CheckDb1Files" as "%d", inside the writer
// lock; false when the file could not be written, with the system's reason
// in `error` (kErrorLockViolation: another writer).
bool WriteSettingsFlags(const SettingsFlags& flags, uint32_t* error = nullptr);

}  // namespace qm
