#pragma once

#include <algorithm>
#include <vector>

// The median of a benchmark's rounds; -1 marks a round that failed and is left out (-1 when none is left).
inline double medianOf(std::vector<double> v)
{
    v.erase(std::remove(v.begin(), v.end(), -1.0), v.end());
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The median over the rounds of each round's ratio of `value` to `floor`, leaving out rounds where either
// failed. The machine's speed drifts from one round to the next and moves both alike within a round.
inline double medianRatio(const std::vector<double>& value, const std::vector<double>& floor)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < value.size() && i < floor.size(); ++i)
        if (value[i] > 0 && floor[i] > 0)
            ratios.push_back(value[i] / floor[i]);
    return medianOf(ratios);
}
