#include "core/WorkerPool.h"

#include <system_error>

namespace qm {

bool CWorkerPool::Start(std::function<void()> task) {
    try {
        m_threads.emplace_back(std::move(task));
        return true;
    } catch (const std::system_error&) {
        return false;  // no thread: resources of the system exhausted
    }
}

void CWorkerPool::Join() {
    for (std::thread& thread : m_threads) {
        if (thread.joinable()) thread.join();
    }
    m_threads.clear();
}

int ProcessorCount() {
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : static_cast<int>(count);
}

}  // namespace qm
