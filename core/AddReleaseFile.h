// Adding one file to a section of the release list, or refreshing the entry
// that already names it.
#pragma once

#include <cstdint>
#include <string>

#include "core/ListSignature.h"
#include "core/SiteKey.h"
#include "core/UpdatePassword.h"

namespace qm {

enum class AddResult {
    Added,         // a new entry at the first free number
    Refreshed,     // the entry with that name got new date and CRC, mark "0"
    Ignored,       // empty name or no directory chosen: nothing happened
    NotBareName,   // the name is no bare file name (see IsBareFileName): refused
    Unstorable,    // the list cannot keep the name as it is (a line break, too long): refused
    NoFreeNumber,  // numbers 1 to 9998 all hold other names
    WriteFailed,   // the release list could not be read or written (or the lock not taken)
    // The list holds lines that are no section, entry or comment, or holds
    // something but no section: nothing written (see IsUnderstood).
    ListNotUnderstood,
    ReadFailed,     // the release list could not be read: nothing written
    SigningFailed,  // the list could not be signed (see AddOutcome::signing): nothing written
};

class CIniFile;

// What an Add did beyond its result.
struct AddOutcome {
    int entry = 0;       // the entry number written
    uint32_t error = 0;  // the system's reason of a WriteFailed, ReadFailed or SigningFailed
    SigningProblem signing = SigningProblem::None;
    ListSignature list;       // the list's signature as it was found (ListNotAsSigned)
    bool signedList = false;  // the list now carries the site's signature
    bool madeKey = false;     // the site's signing key was made for it
    uint64_t sequence = 0;    // the signature's sequence number
    std::string publicKey;    // the key that signed it
};

// Whether every line of the release list is understood: no line that the
// profile engine cannot place, and a section unless the file is blank.
bool IsUnderstood(const CIniFile& releaseList);

// Whether `name` names a file directly in a component directory: not empty,
// no "\", "/" or ":" (a directory part would read and record some file
// outside the component directory), no control character and none of
// < > " | ? *, no dot or blank at its end (so not "." or ".."), and no
// device name with or without an extension: CON, PRN, AUX, NUL, COM1 to
// COM9 and LPT1 to LPT9, in any case. COM0 and LPT0 are names of files, as
// Windows treats them.
bool IsBareFileName(const std::string& name);

// `directoryIndex`: 0 for "qmw", 1 for "db1", negative for no selection.
// `entry` receives the entry number written, when there is one; `error` the
// system's reason of a WriteFailed (kErrorLockViolation: another writer,
// kErrorFileReadOnly: a read-only list) or a ReadFailed (kErrorFileTooLarge:
// a list beyond the size the tool reads).
// Only the name's checks come before the writer lock; the list is read,
// changed and saved inside it.
// With the key of an accepted update password the list is signed after the
// Add (the site's key made the first time); a list that is not as it was
// signed (an alarm) is refused, so that an Add never signs what someone
// changed.
AddResult AddReleaseFile(const std::string& name, int directoryIndex, const CUpdateKey* key,
                         AddOutcome& outcome);
// Without a key: the list stays unsigned, and the Add is refused while the
// settings pin a key (SigningFailed).
AddResult AddReleaseFile(const std::string& name, int directoryIndex, int* entry = nullptr,
                         uint32_t* error = nullptr);

}  // namespace qm
