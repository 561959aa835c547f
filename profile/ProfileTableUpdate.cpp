#include "ProfileTableUpdate.h"

#include "FloatErrors.h"
#include "Prof_1.h"
#include "ProfileTable.h"

#include <cmath>
#include <cstring>

using fpcheck::Checked;

namespace {

// Beyond this many moved points the whole normalisation costs no more.
constexpr std::size_t MaxMovedPoints = 16;

bool SameBits(const TContourPoint& a, const TContourPoint& b)
{
    return std::memcmp(&a.x, &b.x, sizeof(double)) == 0 && std::memcmp(&a.y, &b.y, sizeof(double)) == 0;
}

} // namespace

// The steps of TProfile::Normalize, pass by pass, with what each pass found written down.
bool TProfileTableUpdate::NormalizeRecorded(std::vector<TContourPoint>& table)
{
    passes_.clear();
    TProfile profile;
    profile.Points.reserve(table.size());
    for (const TContourPoint& p : table)
        profile.Points.push_back(TKoordi{p.x, p.y});
    std::vector<TKoordi>& points = profile.Points;
    const int n = static_cast<int>(points.size());
    try {
        for (int passCount = 1;; ++passCount) {
            TPass pass;
            pass.maxX = -1e8;
            for (int i = 0; i < n; ++i)
                if (points[i].x > pass.maxX) {
                    pass.maxX = points[i].x;
                    pass.trailing = i;
                }
            pass.dx = Checked(1.0 - points[pass.trailing].x);
            pass.dy = Checked(0.0 - points[pass.trailing].y);
            for (TKoordi& p : points) {
                p.x = Checked(p.x + pass.dx);
                p.y = Checked(p.y + pass.dy);
            }
            pass.minX = 1e8;
            double noseY = 0.0;
            for (int i = 0; i < n; ++i)
                if (points[i].x < pass.minX) {
                    pass.minX = points[i].x;
                    pass.nose = i;
                    noseY = points[i].y;
                }
            pass.theta = std::atan(fpcheck::Div(noseY, Checked(1.0 - pass.minX)));
            profile.RotateAbout(0, n - 1, 1.0, 0.0, -pass.theta);
            pass.c = Checked(1.0 - points[pass.nose].x);
            if (std::fabs(pass.c) != 1.0)
                for (TKoordi& p : points) {
                    p.x = fpcheck::Div(p.x, pass.c);
                    p.y = fpcheck::Div(p.y, pass.c);
                }
            passes_.push_back(pass);
            if ((pass.c == 1.0 && pass.theta == 0.0) || passCount > 10)
                break;
        }
    } catch (const EMathError&) {
        return false;
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].x = points[i].x;
        table[i].y = points[i].y;
    }
    return true;
}

bool TProfileTableUpdate::NormalizeMoved(const std::vector<TContourPoint>& flipped, std::vector<TContourPoint>& table)
{
    std::vector<std::size_t> moved;
    for (std::size_t i = 0; i < flipped.size(); ++i)
        if (!SameBits(flipped[i], flipped_[i])) {
            if (moved.size() == MaxMovedPoints)
                return false;
            moved.push_back(i);
        }
    std::vector<TKoordi> results;
    try {
        for (const std::size_t m : moved) {
            const int index = static_cast<int>(m);
            TProfile one;
            one.Points.push_back(TKoordi{flipped[m].x, flipped[m].y});
            TKoordi& q = one.Points.front();
            for (const TPass& pass : passes_) {
                // The first point of greatest x is the trailing edge, the first of least x the nose.
                if (index == pass.trailing || index == pass.nose || q.x > pass.maxX ||
                    (q.x == pass.maxX && index < pass.trailing))
                    return false;
                q.x = Checked(q.x + pass.dx);
                q.y = Checked(q.y + pass.dy);
                if (q.x < pass.minX || (q.x == pass.minX && index < pass.nose))
                    return false;
                one.RotateAbout(0, 0, 1.0, 0.0, -pass.theta);
                if (std::fabs(pass.c) != 1.0) {
                    q.x = fpcheck::Div(q.x, pass.c);
                    q.y = fpcheck::Div(q.y, pass.c);
                }
            }
            results.push_back(q);
        }
    } catch (const EMathError&) {
        return false;
    }
    for (std::size_t k = 0; k < moved.size(); ++k) {
        normalised_[moved[k]].x = results[k].x;
        normalised_[moved[k]].y = results[k].y;
        flipped_[moved[k]] = flipped[moved[k]];
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].x = normalised_[i].x;
        table[i].y = normalised_[i].y;
    }
    return true;
}

bool TProfileTableUpdate::Recompute(const std::vector<TContourPoint>& contour, double height, bool normalise,
                                    std::vector<TContourPoint>& table)
{
    const std::size_t n = contour.size();
    CopyAndFlip(contour, height, table);
    bool normalised = false;
    if (normalise && n > 2) {
        if (valid_ && flipped_.size() == n && NormalizeMoved(table, table)) {
            normalised = true;
        } else {
            valid_ = false;
            flipped_ = table;
            normalised = NormalizeRecorded(table);
            if (normalised) {
                normalised_ = table;
                valid_ = true;
            }
        }
    } else {
        valid_ = false;
    }
    if (n > 3) {
        OrientTable(table);
        StartAtTrailingEdge(table);
        table.push_back(TContourPoint{1.0, 0.0, 0.0});
    }
    return normalised;
}
