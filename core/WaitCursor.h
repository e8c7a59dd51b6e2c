// Shows the wait cursor for as long as it lives, through the caller's hook
// (the window sets the cursor; the command line has none).
#pragma once

#include <functional>

namespace qm {

class CWaitCursor {
public:
    explicit CWaitCursor(std::function<void(bool)> show) : m_show(std::move(show)) {
        if (m_show) m_show(true);
    }
    ~CWaitCursor() {
        if (m_show) m_show(false);
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    std::function<void(bool)> m_show;
};

}  // namespace qm
