// Adding one file to a section of the release list, or refreshing the entry
// that already names it.
#pragma once

#include <string>

namespace qm {

enum class AddResult {
    Added,         // a new entry at the first free number
    Refreshed,     // the entry with that name got new date and CRC, mark "0"
    Ignored,       // empty name or no directory chosen: nothing happened
    NoFreeNumber,  // numbers 1 to 9998 all hold other names
    WriteFailed,   // the release list could not be written
};

// `directoryIndex`: 0 for "qmw", 1 for "db1", negative for no selection.
// `entry` receives the entry number written, when there is one.
AddResult AddReleaseFile(const std::string& name, int directoryIndex, int* entry = nullptr);

}  // namespace qm
