// "password": a site's own update password, set behind the current one.
#include "cli/Commands.h"
#include "cli/Console.h"
#include "core/OperatorTexts.h"
#include "core/PasswordChange.h"
#include "core/UpdatePassword.h"

namespace qm::cli {

int RunPassword(const CommandLine& line) {
    std::string error;
    if (UsableWindowsDirectory(error).empty()) return Fail(error);
    CUpdateKey current;
    if (!AcceptPassword(line, current)) return kExitError;
    std::string password;
    if (!ReadPassword(line, "New password: ", password)) return kExitError;
    // On the terminal a typing error would lock the site out: typed twice.
    if (!line.passwordStdin) {
        std::string again;
        if (!ReadPassword(line, "New password again: ", again)) return kExitError;
        if (again != password) return Fail(QM_TEXT_NEW_PASSWORDS_DIFFER);
    }
    const PasswordChange change = ChangeUpdatePassword(current, password);
    if (change.emptyPassword) return Fail(QM_TEXT_NEW_PASSWORD_EMPTY);
    if (!change.changed) return Fail(SigningFailure(change.problem, change.error));
    return Report(std::string(QM_TEXT_PASSWORD_CHANGED) +
                      (change.resealedKey ? " " QM_TEXT_KEY_RESEALED : "") + "\n",
                  "the password was changed");
}

}  // namespace qm::cli
