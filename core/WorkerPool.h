// A few threads that work beside the operator's thread for the length of one
// operation: each task given to the pool runs on a thread of its own, and the
// pool waits for all of them when it ends. The tasks themselves take their
// work from a shared queue (see ParallelFingerprints).
#pragma once

#include <functional>
#include <thread>
#include <vector>

namespace qm {

class CWorkerPool {
public:
    CWorkerPool() = default;
    ~CWorkerPool() { Join(); }
    CWorkerPool(const CWorkerPool&) = delete;
    CWorkerPool& operator=(const CWorkerPool&) = delete;

    // Starts `task` on a thread of its own; false when the system gives no
    // further thread (the caller then does the work itself).
    bool Start(std::function<void()> task);
    // Waits for every task started so far.
    void Join();
    int Threads() const { return static_cast<int>(m_threads.size()); }

private:
    std::vector<std::thread> m_threads;
};

// The number of processors this process may use (at least 1).
int ProcessorCount();

}  // namespace qm
