#pragma once

#include <chrono>
#include <vector>

namespace duva::bench
{

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to);

struct Stats {
    double min = 0, median = 0, max = 0;
    bool valid = false; // false: no values
};

Stats stats(std::vector<double> values);

// A baseline that is a fixed figure (a floor, a nominal interval).
Stats constant(double value);

} // namespace duva::bench
