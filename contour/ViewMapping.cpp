#include "ViewMapping.h"

#include <cmath>
#include <limits>

int RoundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v); // default rounding mode: halves to even
    if (r >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

int SaturatingAdd(int a, int b)
{
    const std::int64_t s = static_cast<std::int64_t>(a) + b;
    if (s > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (s < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(s);
}

TClientPoint ViewToClient(const TViewState& view, double x, double y)
{
    return {SaturatingAdd(view.ViewOriginX, RoundHalfEven(x * view.ZoomFactor)),
            SaturatingAdd(view.ViewOriginY, RoundHalfEven(y * view.ZoomFactor))};
}

void ClientToView(const TViewState& view, int cx, int cy, double& x, double& y)
{
    x = (static_cast<double>(cx) - view.ViewOriginX) / view.ZoomFactor;
    y = (static_cast<double>(cy) - view.ViewOriginY) / view.ZoomFactor;
}
