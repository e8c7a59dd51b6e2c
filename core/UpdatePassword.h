// The password that guards every change of the release list's baseline:
// "Update Release Data" and adding a file. The program keeps only a digest
// of it (PBKDF2-HMAC-SHA-256), so that the password is not in its text.
#pragma once

#include <string>

namespace qm {

// Whether `typed` is the password: exactly, character for character, case
// counting, as a C string compares (the text ends at a NUL).
bool IsUpdatePassword(const std::string& typed);

}  // namespace qm
