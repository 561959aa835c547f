// The profile table: flip, normalise, orientation, start at the trailing edge, closing point.
#include "ProfileTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Table = std::vector<TContourPoint>;

/// The start loop done literally, step by step, as the reference for the rotation.
int StartLoopStepByStep(Table& t)
{
    const std::size_t n = t.size();
    int j = 0;
    do {
        const double x0 = t[0].x, y0 = t[0].y;
        for (std::size_t i = 1; i < n; ++i) {
            t[i - 1].x = t[i].x;
            t[i - 1].y = t[i].y;
        }
        if (t[0].x > 1)
            t[0].x = 1;
        t[n - 1].x = x0;
        t[n - 1].y = y0;
        ++j;
    } while (!(t[0].x == 1 || j > static_cast<int>(n)));
    return j;
}

std::vector<double> Xs(const Table& t)
{
    std::vector<double> xs;
    for (const TContourPoint& p : t)
        xs.push_back(p.x);
    return xs;
}

struct StartCase {
    const char* name;
    std::vector<double> xs;
    int steps;
    std::vector<double> result;
};

class StartLoop : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartLoop, MatchesTheStepwiseLoop)
{
    const StartCase& c = GetParam();
    Table table, reference;
    for (std::size_t i = 0; i < c.xs.size(); ++i)
        table.push_back({c.xs[i], 10.0 + static_cast<double>(i), 7.0 + static_cast<double>(i)});
    reference = table;

    EXPECT_EQ(StartAtTrailingEdge(table), c.steps);
    EXPECT_EQ(Xs(table), c.result);
    EXPECT_EQ(StartLoopStepByStep(reference), c.steps);
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].x, reference[i].x) << i;
        EXPECT_EQ(table[i].y, reference[i].y) << i;
        EXPECT_EQ(table[i].z, 7.0 + static_cast<double>(i)) << "z stays in place at " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, StartLoop,
    ::testing::Values(
        StartCase{"OnlyFirstAtOne", {1, 0.5, 0, 0.5}, 4, {1, 0.5, 0, 0.5}},
        StartCase{"BothEndsAtOne", {1, 0.5, 0, 0.5, 1}, 4, {1, 1, 0.5, 0, 0.5}},
        StartCase{"NoneReachesOne", {0.9999999999999999, 0.5, 0, 0.5}, 5, {0.5, 0, 0.5, 0.9999999999999999}},
        StartCase{"AboveOneIsClamped", {0.99, 0.5, 0, 1.0000000000000002, 0.6}, 3, {1, 0.6, 0.99, 0.5, 0}},
        StartCase{"EarlyStopInTheMiddle", {0.2, 1, 0.4, 0.3}, 1, {1, 0.4, 0.3, 0.2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlaneNormal, SignFollowsTheTurnAndCollinearGivesZero)
{
    EXPECT_GT(PlaneNormal({1, 0}, {0, 1}, {-1, 0}).z, 0) << "counter-clockwise";
    EXPECT_LT(PlaneNormal({1, 0}, {0, -1}, {-1, 0}).z, 0) << "clockwise";
    const TVector3 line = PlaneNormal({0, 0}, {1, 1}, {3, 3});
    EXPECT_EQ(line.x, 0);
    EXPECT_EQ(line.y, 0);
    EXPECT_EQ(line.z, 0);
    const TVector3 unit = UnitVector({3, 0, -4});
    EXPECT_DOUBLE_EQ(unit.x, 0.6);
    EXPECT_DOUBLE_EQ(unit.z, -0.8);
}

// A profile as clicked on a picture 600 pixels high: chord 400 px, y downward.
Table ClickedProfile(bool upperFirst)
{
    Table upper{{500, 300}, {400, 280}, {250, 270}, {100, 300}};
    Table lower{{250, 320}, {400, 315}};
    Table contour = upper;
    contour.insert(contour.end(), lower.begin(), lower.end());
    if (!upperFirst) {
        // From the lower trailing-edge end round the nose to the upper side.
        contour = {{400, 315}, {250, 320}, {100, 300}, {250, 270}, {400, 280}, {500, 300}};
    }
    return contour;
}

TEST(RecomputeTable, ClickedProfileStartsAtTrailingEdgeOverTheUpperSide)
{
    for (const bool upperFirst : {true, false}) {
        SCOPED_TRACE(upperFirst ? "upper side first" : "lower side first");
        Table table;
        RecomputeProfileTable(ClickedProfile(upperFirst), 600, true, table);
        ASSERT_EQ(table.size(), 7u);
        EXPECT_EQ(table[0].x, 1.0);
        EXPECT_NEAR(table[0].y, 0.0, 1e-15);
        EXPECT_GT(table[1].y, 0.0) << "upper side next";
        EXPECT_NEAR(table[3].x, 0.0, 1e-15);
        EXPECT_NEAR(table[3].y, 0.0, 1e-15);
        EXPECT_LT(table[4].y, 0.0);
        EXPECT_EQ(table[6].x, 1.0);
        EXPECT_EQ(table[6].y, 0.0);
        EXPECT_NEAR(table[1].x, 0.75, 1e-12);
        EXPECT_NEAR(table[1].y, 0.05, 1e-12);
    }
}

struct SizeCase {
    const char* name;
    Table contour;
    std::size_t size;
};

class RecomputeSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(RecomputeSizes, ClosesOnlyFromFourPoints)
{
    Table table;
    RecomputeProfileTable(GetParam().contour, 100, true, table);
    EXPECT_EQ(table.size(), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Counts, RecomputeSizes,
                         ::testing::Values(SizeCase{"Empty", {}, 0}, SizeCase{"One", {{5, 10}}, 1},
                                           SizeCase{"Two", {{5, 10}, {50, 20}}, 2},
                                           SizeCase{"Three", {{50, 10}, {5, 10}, {25, 20}}, 3},
                                           SizeCase{"Four", {{50, 10}, {25, 5}, {5, 10}, {25, 15}}, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecomputeTable, OneAndTwoPointsStayInPicturePixelsFlipped)
{
    Table table;
    RecomputeProfileTable({{5, 10}, {50, 20.5}}, 100, true, table);
    EXPECT_EQ(table[0].x, 5);
    EXPECT_EQ(table[0].y, 90);
    EXPECT_EQ(table[1].x, 50);
    EXPECT_EQ(table[1].y, 79.5);
}

TEST(RecomputeTable, ThreePointsAreNormalisedButNeitherTurnedNorClosed)
{
    Table table;
    RecomputeProfileTable({{5, 50}, {10, 50}, {20, 50}}, 100, true, table);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].x, 0.0);
    EXPECT_NEAR(table[1].x, 1.0 / 3, 1e-15);
    EXPECT_EQ(table[2].x, 1.0);
}

TEST(RecomputeTable, VerticalLineIsLeftFlippedAndStartsAfterOneStep)
{
    Table table;
    RecomputeProfileTable({{30, 10}, {30, 20}, {30, 40}, {30, 35}}, 100, true, table);
    ASSERT_EQ(table.size(), 5u);
    // The normalisation failed silently; the points are picture pixels with y up, and the first
    // step clamps the new front entry's x of 30 to 1.
    EXPECT_EQ(Xs(table), (std::vector<double>{1, 30, 30, 30, 1}));
    EXPECT_EQ(table[0].y, 80);
    EXPECT_EQ(table[3].y, 90);
}

TEST(RecomputeTable, CollinearFirstMiddleLastKeepsTheOrder)
{
    // First, middle (index 2) and last on the chord: no reversal even though the rest turns clockwise.
    const Table contour{{500, 300}, {300, 320}, {100, 300}, {300, 280}, {300, 300}};
    Table table;
    RecomputeProfileTable(contour, 600, true, table);
    ASSERT_EQ(table.size(), 6u);
    EXPECT_LT(table[1].y, 0.0) << "the lower point clicked second stays second";
}

TEST(RecomputeTable, UncheckedNormalisationOnlyFlipsOrientsAndCloses)
{
    Table table;
    RecomputeProfileTable({{1, 50}, {0.5, 45}, {0, 50}, {0.5, 55}}, 100, false, table);
    EXPECT_EQ(Xs(table), (std::vector<double>{1, 0.5, 0, 0.5, 1}));
    EXPECT_EQ(table[0].y, 50);
    EXPECT_EQ(table[1].y, 55);
}

TEST(RecomputeTable, ResizeKeepsTheSurvivingEntriesZ)
{
    Table table{{0, 0, 4.5}, {0, 0, 6.5}};
    RecomputeProfileTable({{5, 10}}, 100, true, table);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].z, 4.5);
    RecomputeProfileTable({{5, 10}, {6, 10}}, 100, true, table);
    EXPECT_EQ(table[1].z, 0.0);
}

} // namespace
