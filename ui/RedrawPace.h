// The pace at which a long run shows its progress: at once for its first
// step, then no more often than every `interval`, so that the window spends
// its time on the work and a person still sees it advance.
#pragma once

#include <chrono>

class CRedrawPace {
public:
    using Clock = std::chrono::steady_clock;

    explicit CRedrawPace(Clock::duration interval) : m_interval(interval) {}

    // Whether to show the progress now; if so, the next time is counted from now.
    bool Due(Clock::time_point now) {
        if (m_bShown && now - m_last < m_interval) return false;
        m_bShown = true;
        m_last = now;
        return true;
    }

private:
    Clock::duration m_interval;
    Clock::time_point m_last;
    bool m_bShown = false;
};
