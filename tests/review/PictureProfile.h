#pragma once

#include "TContourPoint.h"

#include <cmath>
#include <vector>

/// A thick outline in picture pixels (y downward), chord 400 px from the nose at (100, 300) to the
/// trailing edge at (500, 300), clicked from the upper trailing edge round the nose to the lower side.
inline std::vector<TContourPoint> PictureProfile()
{
    std::vector<TContourPoint> points;
    const int n = 10;
    for (int i = 0; i <= n; ++i) {
        const double t = 1.0 - double(i) / n;
        points.push_back({100 + 400 * t, 300 - 240 * std::sqrt(t) * (1 - t), 0});
    }
    for (int i = 1; i < n; ++i) {
        const double t = double(i) / n;
        points.push_back({100 + 400 * t, 300 + 120 * std::sqrt(t) * (1 - t), 0});
    }
    return points;
}
