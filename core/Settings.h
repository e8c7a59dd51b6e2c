// The settings file "qmverify.ini", section "Config": the QMW and DB1 flags.
#pragma once

namespace qm {

struct SettingsFlags {
    int checkQmw = 1;  // "CheckQmwFiles"
    int checkDb1 = 1;  // "CheckDb1Files"
};

// Missing file or key: 1.
SettingsFlags ReadSettingsFlags();
// Writes "CheckQmwFiles" then "CheckDb1Files" as "%d"; false when the file
// could not be written.
bool WriteSettingsFlags(const SettingsFlags& flags);

}  // namespace qm
