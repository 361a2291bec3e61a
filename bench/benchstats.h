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
