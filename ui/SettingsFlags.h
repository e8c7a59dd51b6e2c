// The QMW and DB1 flags as the process holds them: read from the settings
// file while the main window initialises, shown and replaced by the Settings
// dialog. Nothing else consults them.
#pragma once

#include "core/Settings.h"

qm::SettingsFlags& ProcessSettingsFlags();
