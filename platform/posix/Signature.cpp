// Signatures on the posix stand-in: Linux keeps no Authenticode trust, so
// every file is unsigned, as the stand-in's one answer.
#include "platform/Platform.h"

namespace qm {

SignatureCheck IPlatform::FileSignature(const std::string&) {
    SignatureCheck check;
    check.state = FileSignatureState::Unsigned;
    return check;
}

}  // namespace qm
