// What the benchmarks share: timing a piece of work as the best of a few
// rounds.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {

// The fewest seconds that `work` took in `rounds` runs; -1 when a run
// failed (returned false).
inline double BestOf(int rounds, const std::function<bool()>& work) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!work()) return -1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace bench
