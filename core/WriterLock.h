// One writer of the release list and the settings file at a time, across
// processes: every operation that writes either file (the build, adding a
// file, a comment and mark, the settings) holds this lock for its whole
// load-change-save, so that no writer saves its copy of an older list over a
// newer one. Readers (the comparison) take no lock: every save replaces the
// file in one step, so they see only whole files.
//
// The lock is the file "qmverify.lck" beside the list, locked through the
// platform (LockFileEx on Windows, flock on posix). It is created when
// missing, for the writers alone, and never deleted; a writer that dies
// releases it with its handle.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qm {

class CWriterLock {
public:
    // Takes the lock, waiting while another writer holds it, up to the wait
    // in force (10 s); `showWaitCursor(true)` while it waits, `(false)` after.
    explicit CWriterLock(const std::function<void(bool)>& showWaitCursor = {});
    ~CWriterLock();
    CWriterLock(const CWriterLock&) = delete;
    CWriterLock& operator=(const CWriterLock&) = delete;

    bool Held() const { return m_lock != nullptr; }
    // Why it is not held: kErrorLockViolation when another writer kept it
    // for the whole wait, else the system's reason (such as access denied
    // for a standard user in the Windows directory).
    uint32_t Error() const { return m_error; }

    // The longest wait for another writer; tests shorten it. Returns the
    // wait in force before.
    static std::chrono::milliseconds SetWait(std::chrono::milliseconds wait);

    // Called on the waiting thread between the tries while another writer
    // holds the lock (every 50 ms): the window looks at its queue there, so
    // that a wait of 10 s never makes it "Not responding". For the whole
    // process; returns the hook in force before.
    static std::function<void()> SetWaitHook(std::function<void()> hook);

    // Whether this thread holds the lock now: then no other writer of ours is
    // at work, and temporary files of ours are leftovers (core/FreshFile.h).
    static bool HeldByThisThread();

    // Where a writer passes on what the lock file tells (one that others
    // could open, and whether it was tightened); the command line prints it.
    // Returns the sink in force before.
    using NoticeSink = std::function<void(const std::string&)>;
    static NoticeSink SetNoticeSink(NoticeSink sink);

private:
    void Taken();  // counts a lock taken and passes on its notice

    std::unique_ptr<IFileLock> m_lock;
    uint32_t m_error = kErrorSuccess;
};

}  // namespace qm
