#include "cli/MetricsFile.h"

#include <chrono>
#include <memory>
#include <thread>

#include "core/FreshFile.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// Writers of one metrics file meet for the few milliseconds of a write; the
// wait outlasts any of them.
constexpr auto kLockWait = std::chrono::seconds(10);
constexpr auto kLockRetry = std::chrono::milliseconds(50);

uint32_t TakeLock(const std::string& path, std::unique_ptr<IFileLock>& lock) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        const uint32_t error = Platform().TryLockFile(path, lock);
        if (error != kErrorLockViolation || std::chrono::steady_clock::now() >= deadline) {
            return error;
        }
        std::this_thread::sleep_for(kLockRetry);
    }
}

}  // namespace

uint32_t WriteMetricsFile(const std::string& path, const std::string& text) {
    std::unique_ptr<IFileLock> lock;
    const uint32_t locked = TakeLock(path + ".lck", lock);
    if (locked != kErrorSuccess) return locked;
    // With the lock held, no other writer is at work: every temporary name
    // taken is a leftover of one that was killed.
    const std::string base = path + ".tmp";
    for (const std::string& leftover : TakenFreshNames(base)) Platform().RemoveFile(leftover);
    const FreshFileResult fresh = WriteFreshFile(base, text);
    if (fresh.path.empty()) return fresh.error;
    const uint32_t moved = Platform().MoveReplace(fresh.path, path);
    if (moved != kErrorSuccess) Platform().RemoveFile(fresh.path);
    return moved;
}

}  // namespace qm::cli
