#pragma once

#include "TContourPoint.h"

#include <cmath>
#include <numbers>
#include <vector>

/// A NACA four-digit section, the outline as a user clicks it on a picture `Height` pixels high:
/// chord `Chord` pixels, y downward, from the upper trailing edge over the upper side round the nose
/// and back along the lower side, `half` cosine-spaced stations per side.
struct TNacaOutline {
    static constexpr double Height = 900.0;
    double camber = 0.02, camberAt = 0.4, thickness = 0.12;
    double chord = 1000.0;
    int half = 100;
    bool closedEdgeCoefficient = true; ///< else the classic -0.1015, which leaves the edge open
    bool lowerEdgeClicked = true;      ///< the lower trailing edge is clicked (else the click before it is last)

    /// The point of the upper or lower side at chord position x (0 .. 1), in chord units, y upward.
    void At(double x, bool upper, double& px, double& py) const
    {
        const double last = closedEdgeCoefficient ? -0.1036 : -0.1015;
        const double yt = 5 * thickness *
                          (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x + last * x * x * x * x);
        const double m = camber, p = camberAt;
        double yc = 0.0, slope = 0.0;
        if (m > 0.0 && x < p) {
            yc = m / (p * p) * (2 * p * x - x * x);
            slope = 2 * m / (p * p) * (p - x);
        } else if (m > 0.0) {
            yc = m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
            slope = 2 * m / ((1 - p) * (1 - p)) * (p - x);
        }
        const double theta = std::atan(slope), sign = upper ? 1.0 : -1.0;
        px = x - sign * yt * std::sin(theta);
        py = yc + sign * yt * std::cos(theta);
    }

    std::vector<TContourPoint> Clicked() const
    {
        std::vector<TContourPoint> contour;
        auto add = [&](int i, bool upper) {
            double x, y;
            At(0.5 * (1 - std::cos(std::numbers::pi * i / half)), upper, x, y);
            contour.push_back({150 + chord * x, Height / 2 - chord * y, 0});
        };
        for (int i = half; i >= 0; --i)
            add(i, true);
        for (int i = 1; i < half; ++i)
            add(i, false);
        // A closed edge is clicked twice on the same spot.
        if (lowerEdgeClicked && closedEdgeCoefficient)
            contour.push_back(contour.front());
        else if (lowerEdgeClicked)
            add(half, false);
        return contour;
    }
};

/// A four-digit section as XFOIL's NACA command makes it: the thickness added vertically to the
/// camber line, the classic edge coefficient (an open edge), `side` points a side bunched at the
/// nose and the trailing edge. In chord units, y upward, from the upper trailing edge round the
/// nose (0, 0) to the lower one.
struct TXfoilNaca {
    int m = 2, p = 4, t = 12; ///< the four digits: camber %, its place in tenths, thickness %

    double Camber(double x) const
    {
        const double c = m / 100.0, at = p / 10.0;
        if (m == 0)
            return 0.0;
        return x < at ? c / (at * at) * (2 * at * x - x * x) : c / ((1 - at) * (1 - at)) * (1 - 2 * at + 2 * at * x - x * x);
    }

    std::vector<TContourPoint> Outline(int side) const
    {
        std::vector<TContourPoint> points;
        auto add = [&](int i, double sign) {
            const double f = static_cast<double>(i) / (side - 1);
            const double x = i == side - 1 ? 1.0 : 1.0 - 2.5 * f * std::pow(1.0 - f, 1.5) - std::pow(1.0 - f, 2.5);
            const double yt =
                t / 20.0 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x - 0.1015 * x * x * x * x);
            points.push_back({x, Camber(x) + sign * yt, 0});
        };
        for (int i = side - 1; i >= 0; --i)
            add(i, 1.0);
        for (int i = 1; i < side; ++i)
            add(i, -1.0);
        return points;
    }
};
