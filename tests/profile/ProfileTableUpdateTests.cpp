// The table recomputed after each change, moved points only where that is exact, equals the table
// recomputed from scratch to the last bit.
#include "ProfileTable.h"
#include "ProfileTableUpdate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

std::vector<TContourPoint> Outline(int n)
{
    std::vector<TContourPoint> points;
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * (i + 0.5) / n;
        const double x = 0.5 + 0.5 * std::cos(a);
        const double t = 60.0 * (0.2969 * std::sqrt(x) - 0.126 * x - 0.3516 * x * x + 0.2843 * x * x * x);
        // A slight tilt, so that the normalisation needs several passes.
        points.push_back({100.0 + 800.0 * x, 300.0 - (a < 3.141592653589793 ? t : -t) + 0.05 * x * 800.0, 0.0});
    }
    return points;
}

TEST(ProfileTableUpdate, EveryChangeGivesTheTableOfAWholeRecompute)
{
    struct Row {
        const char* name;
        std::function<void(std::vector<TContourPoint>&)> change;
    };
    std::mt19937 random(7);
    const Row rows[] = {
        {"nothing", [](auto&) {}},
        {"a point of the upper side", [](auto& c) { c[30].y -= 2.5; }},
        {"a point onto the trailing edge's x", [](auto& c) { c[5].x = c[0].x; }},
        {"a point past the trailing edge", [](auto& c) { c[8].x = c[0].x + 3.0; }},
        {"a point in front of the nose", [](auto& c) { c[60].x = c[100].x - 2.0; }},
        {"the nose", [](auto& c) { c[100].y += 1.0; }},
        {"the trailing edge", [](auto& c) { c[0].y -= 1.0; }},
        {"a few points at random", [&](auto& c) {
             for (int k = 0; k < 5; ++k)
                 c[random() % c.size()].y += std::uniform_real_distribution<double>(-2, 2)(random);
         }},
        {"many points at random", [&](auto& c) {
             for (auto& p : c)
                 p.x += std::uniform_real_distribution<double>(-0.1, 0.1)(random);
         }},
        {"a point appended", [](auto& c) { c.push_back({850.0, 305.0, 0.0}); }},
        {"a point deleted", [](auto& c) { c.erase(c.begin() + 40); }},
        {"clicked the other way round", [](auto& c) { std::reverse(c.begin(), c.end()); }},
        {"a point of the reversed outline", [](auto& c) { c[150].y += 1.0; }},
        {"all on one vertical line", [](auto& c) { for (auto& p : c) p.x = 500.0; }},
        {"one point off the line again", [](auto& c) { c[3].x = 700.0; }},
        {"three points", [](auto& c) { c.resize(3); }},
    };
    std::vector<TContourPoint> contour = Outline(200);
    std::vector<TContourPoint> updated, whole;
    TProfileTableUpdate update;
    for (const Row& row : rows) {
        row.change(contour);
        for (const bool normalise : {true, true, false, true}) {
            const bool a = update.Recompute(contour, 600.0, normalise, updated);
            const bool b = RecomputeProfileTable(contour, 600.0, normalise, whole);
            EXPECT_EQ(a, b) << row.name;
            ASSERT_EQ(updated.size(), whole.size()) << row.name;
            EXPECT_EQ(std::memcmp(updated.data(), whole.data(), whole.size() * sizeof(TContourPoint)), 0) << row.name;
        }
    }
}

} // namespace
