#include "Prof_1.h"

#include "FloatErrors.h"

#include <cmath>
#include <string>

using fpcheck::Checked;

EListError::EListError(int index)
    : std::out_of_range("Listenindex überschreitet das Maximum (" + std::to_string(index) + ")")
{
}

TKoordi& TProfile::GetKoordi(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= Points.size())
        throw EListError(index);
    return Points[static_cast<std::size_t>(index)];
}

void TProfile::RotateAbout(int first, int last, double cx, double cy, double angle)
{
    for (int i = first; i <= last; ++i) {
        TKoordi& p = GetKoordi(i);
        const double dx = Checked(p.x - cx);
        const double dy = Checked(p.y - cy);
        double r = fpcheck::Sqrt(Checked(Checked(dx * dx) + Checked(dy * dy)));
        // The sign of r carries the side, since the arcsine only covers the right half-plane.
        if (p.x < cx)
            r = -r;
        double phi = r != 0.0 ? fpcheck::ArcSin(fpcheck::Div(dy, r)) : 3.141592653589793;
        phi = Checked(phi - angle);
        p.x = Checked(cx + r * std::cos(phi));
        p.y = Checked(cy + r * std::sin(phi));
    }
}

void TProfile::Normalize(int repeatLimit)
{
    const int n = static_cast<int>(Points.size());
    PassCount = 0;
    for (;;) {
        ++PassCount;

        double maxX = -1e8;
        int trailing = 0;
        for (int i = 0; i < n; ++i) {
            if (Points[i].x > maxX) {
                maxX = Points[i].x;
                trailing = i;
            }
        }

        const TKoordi& t = GetKoordi(trailing);
        const double dx = Checked(1.0 - t.x);
        const double dy = Checked(0.0 - t.y);
        for (TKoordi& p : Points) {
            p.x = Checked(p.x + dx);
            p.y = Checked(p.y + dy);
        }

        double minX = 1e8;
        int nose = 0;
        double noseY = 0.0;
        for (int i = 0; i < n; ++i) {
            if (Points[i].x < minX) {
                minX = Points[i].x;
                nose = i;
                noseY = Points[i].y;
            }
        }

        // All points on one vertical line end here with 0 / 0.
        const double theta = std::atan(fpcheck::Div(noseY, Checked(1.0 - minX)));
        RotateAbout(0, n - 1, 1.0, 0.0, -theta);

        const double c = Checked(1.0 - GetKoordi(nose).x);
        if (std::fabs(c) != 1.0) {
            for (TKoordi& p : Points) {
                p.x = fpcheck::Div(p.x, c);
                p.y = fpcheck::Div(p.y, c);
            }
        }

        // Exact comparison on purpose: a pass ends the loop only when it changed nothing.
        if (c == 1.0 && theta == 0.0)
            return;
        if (PassCount > repeatLimit)
            return;
    }
}
