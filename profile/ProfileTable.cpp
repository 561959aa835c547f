#include "ProfileTable.h"

#include "FloatErrors.h"
#include "Prof_1.h"

#include <algorithm>
#include <cstddef>

using fpcheck::Checked;

TVector3 UnitVector(TVector3 v)
{
    double length = fpcheck::Sqrt(Checked(Checked(Checked(v.x * v.x) + Checked(v.y * v.y)) + Checked(v.z * v.z)));
    if (length == 0.0)
        length = 1.0;
    return {fpcheck::Div(v.x, length), fpcheck::Div(v.y, length), fpcheck::Div(v.z, length)};
}

TVector3 PlaneNormal(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c)
{
    const TVector3 u{Checked(a.x - b.x), Checked(a.y - b.y), Checked(a.z - b.z)};
    const TVector3 v{Checked(b.x - c.x), Checked(b.y - c.y), Checked(b.z - c.z)};
    return UnitVector({Checked(Checked(u.y * v.z) - Checked(u.z * v.y)),
                       Checked(Checked(u.z * v.x) - Checked(u.x * v.z)),
                       Checked(Checked(u.x * v.y) - Checked(u.y * v.x))});
}

void CopyAndFlip(const std::vector<TContourPoint>& contour, double height, std::vector<TContourPoint>& table)
{
    table.resize(contour.size());
    for (std::size_t i = 0; i < contour.size(); ++i) {
        table[i].x = contour[i].x;
        table[i].y = Checked(height - contour[i].y);
    }
}

bool NormalizeTable(std::vector<TContourPoint>& table)
{
    TProfile profile;
    profile.Points.reserve(table.size());
    for (const TContourPoint& p : table)
        profile.Points.push_back(TKoordi{p.x, p.y});
    try {
        profile.Normalize();
    } catch (const EMathError&) {
        // Outlines that cannot be normalised (all points on one vertical line) stay as flipped.
        return false;
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        const TKoordi& k = profile.GetKoordi(static_cast<int>(i));
        table[i].x = k.x;
        table[i].y = k.y;
    }
    return true;
}

bool OrientTable(std::vector<TContourPoint>& table)
{
    const std::size_t n = table.size();
    if (n == 0)
        return false;
    const TVector3 normal = PlaneNormal(table[0], table[n / 2], table[n - 1]);
    if (!(normal.z < 0.0))
        return false;
    std::reverse(table.begin(), table.end());
    return true;
}

int StartAtTrailingEdge(std::vector<TContourPoint>& table)
{
    const int n = static_cast<int>(table.size());
    if (n == 0)
        return 0;
    // Step s brings the entry that started at index s mod n to the front, and the loop stops at
    // the first with x >= 1, so the whole loop is one rotation; done step by step it would cost
    // n^2 moves for a table that has no x of exactly 1.
    int steps = n + 1;
    for (int s = 1; s <= n; ++s) {
        TContourPoint& candidate = table[static_cast<std::size_t>(s % n)];
        if (candidate.x >= 1.0) {
            candidate.x = 1.0;
            steps = s;
            break;
        }
    }
    std::vector<TContourPoint> rotated(table.size());
    for (int i = 0; i < n; ++i) {
        const TContourPoint& from = table[static_cast<std::size_t>((i + steps) % n)];
        rotated[static_cast<std::size_t>(i)].x = from.x;
        rotated[static_cast<std::size_t>(i)].y = from.y;
    }
    for (int i = 0; i < n; ++i) {
        table[static_cast<std::size_t>(i)].x = rotated[static_cast<std::size_t>(i)].x;
        table[static_cast<std::size_t>(i)].y = rotated[static_cast<std::size_t>(i)].y;
    }
    return steps;
}

bool RecomputeProfileTable(const std::vector<TContourPoint>& contour, double height, bool normalise,
                           std::vector<TContourPoint>& table)
{
    const std::size_t n = contour.size();
    CopyAndFlip(contour, height, table);
    const bool normalised = normalise && n > 2 && NormalizeTable(table);
    if (n > 3) {
        OrientTable(table);
        StartAtTrailingEdge(table);
        table.push_back(TContourPoint{1.0, 0.0, 0.0});
    }
    return normalised;
}
