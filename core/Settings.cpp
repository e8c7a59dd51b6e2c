// The settings file: two flags in section "Config" of "qmverify.ini".
#include "core/Settings.h"

#include <string>

#include "core/IniFile.h"

namespace qm {

namespace {
const char kSettingsFile[] = "qmverify.ini";
const char kSection[] = "Config";
const char kQmwKey[] = "CheckQmwFiles";
const char kDb1Key[] = "CheckDb1Files";
const int kDefaultFlag = 1;
}  // namespace

SettingsFlags ReadSettingsFlags() {
    CIniFile settings;
    // An unreadable file reads as a missing one: both flags keep their default.
    (void)settings.Load(ProfilePath(kSettingsFile));
    SettingsFlags flags;
    flags.checkQmw = settings.ReadInt(kSection, kQmwKey, kDefaultFlag);
    flags.checkDb1 = settings.ReadInt(kSection, kDb1Key, kDefaultFlag);
    return flags;
}

bool WriteSettingsFlags(const SettingsFlags& flags) {
    CIniFile settings;
    if (!settings.Load(ProfilePath(kSettingsFile))) return false;
    settings.WriteText(kSection, kQmwKey, std::to_string(flags.checkQmw));
    settings.WriteText(kSection, kDb1Key, std::to_string(flags.checkDb1));
    return settings.Save();
}

}  // namespace qm
