#pragma once
// Timing for the benchmarks: the best of several runs, which is the figure least disturbed by
// whatever else the machine is doing.

#include <algorithm>
#include <chrono>

namespace pelmora::bench {

// Seconds of the fastest of `runs` calls of `work`.
template <typename F> double bestOf(int runs, F&& work) {
    using Clock = std::chrono::steady_clock;
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

} // namespace pelmora::bench
