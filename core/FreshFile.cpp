#include "core/FreshFile.h"

#include "platform/Platform.h"

namespace qm {

namespace {
constexpr int kLastCandidate = 100;
}

FreshFileResult WriteFreshFile(const std::string& base, const std::string& contents) {
    IPlatform& platform = Platform();
    FreshFileResult result;
    for (int k = 1; k <= kLastCandidate; ++k) {
        const std::string candidate = k == 1 ? base : base + std::to_string(k);
        const uint32_t error = platform.CreateNewFile(candidate, contents);
        if (error == kErrorSuccess) {
            result.path = candidate;
            result.error = kErrorSuccess;
            return result;
        }
        result.error = error;
        if (error != kErrorFileExists && error != kErrorAlreadyExists) {
            // The name was free, so whatever a failed write left there is
            // ours (a platform that could not clean up after itself).
            platform.RemoveFile(candidate);
            return result;
        }
    }
    return result;  // every name taken: kErrorFileExists
}

}  // namespace qm
