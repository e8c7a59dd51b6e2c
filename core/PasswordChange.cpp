#include "core/PasswordChange.h"

#include <cstring>

#include "core/WriterLock.h"
#include "platform/Platform.h"

namespace qm {

PasswordChange ChangeUpdatePassword(const CUpdateKey& current, const std::string& newPassword) {
    PasswordChange result;
    const std::string password(newPassword.c_str(), std::strlen(newPassword.c_str()));
    if (password.empty()) {
        result.emptyPassword = true;
        return result;
    }
    CWriterLock lock;
    if (!lock.Held()) {
        result.problem = SigningProblem::SettingsWriteFailed;
        result.error = lock.Error();
        return result;
    }
    CSiteSigner signer;
    result.problem = signer.Open(current, false);
    if (result.problem != SigningProblem::None) {
        result.error = signer.Error();
        return result;
    }
    PasswordRecord record;
    std::string derived;
    if (!MakePasswordRecord(password, record, derived) || !signer.Reseal(record, derived)) {
        result.problem = SigningProblem::SystemFailed;
        return result;
    }
    if (signer.Commit() != kErrorSuccess) {
        result.problem = SigningProblem::SettingsWriteFailed;
        result.error = signer.Error();
        return result;
    }
    result.changed = true;
    result.resealedKey = signer.HasKey();
    return result;
}

}  // namespace qm
