#include "core/WriterLock.h"

#include <atomic>
#include <thread>
#include <utility>

#include "core/ReleaseListFormat.h"

namespace qm {

namespace {

constexpr std::chrono::milliseconds kPollInterval{50};

std::atomic<long long>& WaitInForce() {
    static std::atomic<long long> wait{10000};
    return wait;
}

std::function<void()>& WaitHookInForce() {
    static std::function<void()> hook;
    return hook;
}

thread_local int t_locksHeld = 0;

CWriterLock::NoticeSink& SinkInForce() {
    static CWriterLock::NoticeSink sink;
    return sink;
}

}  // namespace

CWriterLock::CWriterLock(const std::function<void(bool)>& showWaitCursor) {
    IPlatform& platform = Platform();
    const std::string path = LockFilePath(platform.WindowsDirectory());
    if (path.empty()) {
        m_error = kErrorPathNotFound;
        return;
    }
    m_error = platform.TryLockFile(path, m_lock);
    if (m_error != kErrorLockViolation) {
        Taken();
        return;
    }

    // Another writer is at work: wait for it, showing that we wait.
    if (showWaitCursor) showWaitCursor(true);
    const std::function<void()> waiting = WaitHookInForce();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitInForce().load());
    while (m_error == kErrorLockViolation && std::chrono::steady_clock::now() < deadline) {
        if (waiting) waiting();
        std::this_thread::sleep_for(kPollInterval);
        m_error = platform.TryLockFile(path, m_lock);
    }
    if (showWaitCursor) showWaitCursor(false);
    Taken();
}

void CWriterLock::Taken() {
    if (!m_lock) return;
    ++t_locksHeld;
    const std::string notice = m_lock->Notice();
    if (!notice.empty() && SinkInForce()) SinkInForce()(notice);
}

CWriterLock::~CWriterLock() {
    if (m_lock) --t_locksHeld;
}

bool CWriterLock::HeldByThisThread() { return t_locksHeld > 0; }

CWriterLock::NoticeSink CWriterLock::SetNoticeSink(NoticeSink sink) {
    NoticeSink previous = std::move(SinkInForce());
    SinkInForce() = std::move(sink);
    return previous;
}

std::chrono::milliseconds CWriterLock::SetWait(std::chrono::milliseconds wait) {
    return std::chrono::milliseconds(WaitInForce().exchange(wait.count()));
}

std::function<void()> CWriterLock::SetWaitHook(std::function<void()> hook) {
    return std::exchange(WaitHookInForce(), std::move(hook));
}

}  // namespace qm
