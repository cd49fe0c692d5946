#pragma once

#include <algorithm>
#include <vector>

namespace platterly::bench {

// The middle of the measured values (the mean of the two middle ones for an even count):
// one round disturbed by the machine does not move it.
inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values[middle];
    return (values[middle - 1] + values[middle]) / 2.0;
}

} // namespace platterly::bench
