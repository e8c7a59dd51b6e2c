// A site's own update password: set behind the current one, kept as a salted
// record in the settings file, and the site's signing key sealed anew under
// it (never replaced, so that its pin and its signatures stay).
#pragma once

#include <cstdint>
#include <string>

#include "core/SiteKey.h"
#include "core/UpdatePassword.h"

namespace qm {

struct PasswordChange {
    bool changed = false;
    bool emptyPassword = false;  // refused: the new password is empty
    bool resealedKey = false;    // the site's signing key was sealed under the new one
    SigningProblem problem = SigningProblem::None;
    uint32_t error = 0;  // the system's reason (kErrorLockViolation: another writer)
};

// Inside the writer lock: checks that `current` (an accepted password) still
// opens the site's key, then writes the record of `newPassword` (a C string:
// it ends at a NUL) and the key sealed under it.
PasswordChange ChangeUpdatePassword(const CUpdateKey& current, const std::string& newPassword);

}  // namespace qm
