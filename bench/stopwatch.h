#pragma once

#include <algorithm>
#include <chrono>
#include <limits>
#include <malloc.h>

namespace kestra {

// Makes the compiler assume `value` (and all memory) is read here, so work whose result is
// otherwise unused is not optimised away.
template <class T> inline void keep(const T& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}

template <class Work> double secondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The fastest time of an operation and of the limit it is held against.
struct BestTimes {
    double operation = std::numeric_limits<double>::infinity();
    double limit = std::numeric_limits<double>::infinity();
};

// Runs the operation and its limit in alternation, each returning the seconds it measured
// itself (so set-up and clean-up stay outside), and keeps the fastest of each. Alternating means
// both see the same load from whatever else runs on the machine; taking the fastest drops the
// rounds that other processes disturbed. At least three rounds, more while they are short.
// Before each, the allocator hands its free memory back to the system, so that every round
// starts as a fresh process does: memory it allocates is touched for the first time.
template <class Operation, class Limit>
BestTimes bestOfRounds(Operation&& operation, Limit&& limit) {
    constexpr int fewestRounds = 3;
    constexpr int mostRounds = 20;
    constexpr double enoughSeconds = 1.0;
    BestTimes best;
    double spent = 0;
    for (int round = 0; round < mostRounds && (round < fewestRounds || spent < enoughSeconds);
         ++round) {
        ::malloc_trim(0);
        const double operationSeconds = operation();
        ::malloc_trim(0);
        const double limitSeconds = limit();
        best.operation = std::min(best.operation, operationSeconds);
        best.limit = std::min(best.limit, limitSeconds);
        spent += operationSeconds + limitSeconds;
    }
    return best;
}

} // namespace kestra
