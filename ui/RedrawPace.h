// The pace at which a long run shows its progress: at once for its first
// step, then no more often than every `interval`, so that the window spends
// its time on the work and a person still sees it advance.
//
// Showing is not free: a repaint of the result list takes a millisecond or two
// on Windows but some 60 ms under a slow display driver (Wine's, measured), and
// at a fixed 100 ms that doubled the run. So a show that is reported with its
// cost (`Shown`) pushes the next one out until showing takes no more than a
// tenth of the run.
#pragma once

#include <algorithm>
#include <chrono>

class CRedrawPace {
public:
    using Clock = std::chrono::steady_clock;

    explicit CRedrawPace(Clock::duration interval) : m_interval(interval), m_wait(interval) {}

    Clock::duration Interval() const { return m_interval; }

    // Whether to show the progress now; if so, the next time is counted from now.
    bool Due(Clock::time_point now) {
        if (m_bShown && now - m_last < m_wait) return false;
        m_bShown = true;
        m_last = now;
        return true;
    }

    // The show that Due allowed ran from `start` to `end`: the next one is
    // counted from its end, and waits at least nine times as long as it took.
    void Shown(Clock::time_point start, Clock::time_point end) {
        m_last = end;
        m_wait = std::max(m_interval, (end - start) * kWorkPerShow);
    }

private:
    static constexpr int kWorkPerShow = 9;
    Clock::duration m_interval;
    Clock::duration m_wait;
    Clock::time_point m_last;
    bool m_bShown = false;
};
