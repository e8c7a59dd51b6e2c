#include "core/FreshFile.h"

#include "core/WriterLock.h"
#include "platform/Platform.h"

namespace qm {

namespace {

constexpr int kLastCandidate = 100;

std::string Candidate(const std::string& base, int k) {
    return k == 1 ? base : base + std::to_string(k);
}

}  // namespace

FreshFileResult WriteFreshFile(const std::string& base, const std::string& contents) {
    IPlatform& platform = Platform();
    if (CWriterLock::HeldByThisThread()) {
        // Leftovers of a writer of ours that was killed: they would use up
        // the names (and the disk) for good.
        for (int k = 1; k <= kLastCandidate; ++k) {
            const std::string candidate = Candidate(base, k);
            if (platform.FileExists(candidate)) platform.RemoveFile(candidate);
        }
    }
    FreshFileResult result;
    for (int k = 1; k <= kLastCandidate; ++k) {
        const std::string candidate = Candidate(base, k);
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
    result.error = kErrorFileExists;  // every name taken
    return result;
}

std::vector<std::string> TakenFreshNames(const std::string& base) {
    std::vector<std::string> taken;
    for (int k = 1; k <= kLastCandidate; ++k) {
        const std::string candidate = Candidate(base, k);
        if (Platform().FileExists(candidate)) taken.push_back(candidate);
    }
    return taken;
}

}  // namespace qm
