// The settings file: two flags in section "Config" of "qmverify.ini".
#include "core/Settings.h"

#include <string>

#include "core/IniFile.h"
#include "core/WriterLock.h"

namespace qm {

const char kSettingsFile[] = "qmverify.ini";

namespace {
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

bool WriteSettingsFlags(const SettingsFlags& flags, uint32_t* error) {
    const auto result = [error](uint32_t code) {
        if (error) *error = code;
        return code == kErrorSuccess;
    };
    CWriterLock lock;
    if (!lock.Held()) return result(lock.Error());
    CIniFile settings;
    if (!settings.Load(ProfilePath(kSettingsFile))) return result(settings.LoadError());
    settings.WriteText(kSection, kQmwKey, std::to_string(flags.checkQmw));
    settings.WriteText(kSection, kDb1Key, std::to_string(flags.checkDb1));
    return result(settings.Save() ? kErrorSuccess : settings.LastSaveError());
}

}  // namespace qm
