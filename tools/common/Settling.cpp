#include "tools/common/Settling.h"

#include <algorithm>
#include <cmath>

CSettling AnalyseSettling(const std::vector<double>& values, double setPoint, double band)
{
    CSettling result;
    result.setPoint = setPoint;
    if (values.empty())
        return result;
    result.finalValue = values.back();
    for (int i = int(values.size()); i > 0 && std::fabs(values[i - 1] - setPoint) <= band; --i)
        result.settledAt = i - 1;
    // A run that starts above the set point overshoots downwards.
    const double direction = values.front() <= setPoint ? 1.0 : -1.0;
    for (double value : values)
        result.overshoot = std::max(result.overshoot, direction * (value - setPoint));
    return result;
}
