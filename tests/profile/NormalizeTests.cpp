// TProfile: normalisation passes, the signed polar turn, index errors and floating-point errors.
#include "FloatErrors.h"
#include "Prof_1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

TProfile Profile(const std::vector<TKoordi>& points)
{
    TProfile p;
    p.Points = points;
    return p;
}

void ExpectPoint(const TKoordi& actual, double x, double y, double tolerance = 1e-12)
{
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
}

TEST(Normalize, TwoPassExampleEndsExactly)
{
    TProfile p = Profile({{0, 0}, {0.5, 0}, {2, 0}});
    p.Normalize();
    EXPECT_EQ(p.PassCount, 2);
    EXPECT_EQ(p.Points[0].x, 0.0);
    EXPECT_EQ(p.Points[1].x, 0.25);
    EXPECT_EQ(p.Points[2].x, 1.0);
    for (const TKoordi& k : p.Points)
        EXPECT_EQ(k.y, 0.0);
}

TEST(Normalize, AlreadyNormalisedOutlineTakesOnePass)
{
    const std::vector<TKoordi> outline{{1, 0}, {0.5, 0.06}, {0, 0}, {0.5, -0.04}};
    TProfile p = Profile(outline);
    p.Normalize();
    EXPECT_EQ(p.PassCount, 1);
    for (std::size_t i = 0; i < outline.size(); ++i)
        ExpectPoint(p.Points[i], outline[i].x, outline[i].y, 1e-15);
}

TEST(Normalize, FirstOfEqualExtremesIsTrailingEdgeAndNose)
{
    // Greatest x at 2 and 7, smallest at 4 and 5; choosing the later one of either pair would
    // put another point at (1, 0) or turn the outline.
    TProfile p = Profile({{1.5, 0.2}, {2, 0.4}, {3, 0.5}, {2, 0.3}, {0, 0.5}, {0, -0.5}, {1, 0}, {3, -0.5},
                          {2.5, 0}, {1, 0.1}});
    p.Normalize();
    ExpectPoint(p.Points[2], 1, 0);
    ExpectPoint(p.Points[7], 1, -1.0 / 3);
    ExpectPoint(p.Points[4], 0, 0);
    ExpectPoint(p.Points[5], 0, -1.0 / 3);
}

struct TiltCase {
    const char* name;
    double angle; ///< by which the normalised outline was turned before scaling and moving
};

class NormalizeTilted : public ::testing::TestWithParam<TiltCase> {};

TEST_P(NormalizeTilted, RecoversTheNormalisedOutline)
{
    const std::vector<TKoordi> outline{{1, 0}, {0.7, 0.07}, {0.3, 0.08}, {0, 0}, {0.4, -0.04}, {0.8, -0.02}};
    const double a = GetParam().angle;
    TProfile p;
    for (const TKoordi& k : outline) {
        p.Points.push_back({100 + 250 * (k.x * std::cos(a) - k.y * std::sin(a)),
                            300 + 250 * (k.x * std::sin(a) + k.y * std::cos(a))});
    }
    p.Normalize();
    for (std::size_t i = 0; i < outline.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectPoint(p.Points[i], outline[i].x, outline[i].y);
    }
}

INSTANTIATE_TEST_SUITE_P(Angles, NormalizeTilted,
                         ::testing::Values(TiltCase{"TrailingEdgeAboveNose", 0.3},
                                           TiltCase{"NoseAboveTrailingEdge", -0.3},
                                           TiltCase{"Steep", 1.2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Normalize, VerticalLineRaisesInvalidOperationAfterTranslating)
{
    TProfile p = Profile({{5, 1}, {5, 3}, {5, 2}});
    try {
        p.Normalize();
        FAIL() << "no error";
    } catch (const EInvalidOp& e) {
        EXPECT_STREQ(e.what(), "Ungültige Gleitkommaoperation");
    }
    EXPECT_EQ(p.PassCount, 1);
    ExpectPoint(p.Points[0], 1, 0, 0);
    ExpectPoint(p.Points[1], 1, 2, 0);
    ExpectPoint(p.Points[2], 1, 1, 0);
}

TEST(Normalize, RepeatLimitEndsTheLoopAfterAScalingPass)
{
    // Needs more than one pass to meet the exact stop test.
    const std::vector<TKoordi> outline{{830.2, 411.7}, {512.9, 455.3}, {143.1, 390.8}, {498.4, 351.6}};
    TProfile full = Profile(outline);
    full.Normalize();
    ASSERT_GE(full.PassCount, 2);

    TProfile limited = Profile(outline);
    limited.Normalize(0);
    EXPECT_EQ(limited.PassCount, 1);
    // The pass scaled about the origin, so the trailing edge lies at (1/c, 0), c the chord.
    const double chord = std::hypot(830.2 - 143.1, 411.7 - 390.8);
    ExpectPoint(limited.Points[0], 1 / chord, 0);
    ExpectPoint(limited.Points[2], 1 / chord - 1, 0);
}

struct TurnCase {
    const char* name;
    double x, y, cx, cy, angle;
};

class RotateAbout : public ::testing::TestWithParam<TurnCase> {};

TEST_P(RotateAbout, TurnsRigidlyClockwise)
{
    const TurnCase& c = GetParam();
    TProfile p = Profile({{c.x, c.y}});
    p.RotateAbout(0, 0, c.cx, c.cy, c.angle);
    const double dx = c.x - c.cx, dy = c.y - c.cy;
    ExpectPoint(p.Points[0], c.cx + dx * std::cos(c.angle) + dy * std::sin(c.angle),
                c.cy - dx * std::sin(c.angle) + dy * std::cos(c.angle), 1e-14);
}

INSTANTIATE_TEST_SUITE_P(Points, RotateAbout,
                         ::testing::Values(TurnCase{"RightOfCentre", 2, 0, 1, 0, M_PI / 2},
                                           TurnCase{"LeftOfCentre", 0, 0, 1, 0, M_PI / 2},
                                           TurnCase{"LeftAndAbove", 0, 1, 1, 0, M_PI / 2},
                                           TurnCase{"LeftAndBelow", -3, -2, 1, 0, -0.4},
                                           TurnCase{"StraightAbove", 1, 2, 1, 0, 0.25},
                                           TurnCase{"ZeroAngle", 0.3, 0.4, 1, 0, 0.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RotateAboutRange, CentreStaysAndEmptyRangeChangesNothing)
{
    TProfile p = Profile({{1, 0}, {3, 4}});
    p.RotateAbout(0, 0, 1.0, 0.0, 0.7);
    EXPECT_EQ(p.Points[0].x, 1.0);
    EXPECT_EQ(p.Points[0].y, 0.0);
    p.RotateAbout(1, 0, 1.0, 0.0, 0.7);
    EXPECT_EQ(p.Points[1].x, 3.0);
    EXPECT_EQ(p.Points[1].y, 4.0);
}

TEST(GetKoordi, OutOfRangeRaisesListIndexError)
{
    TProfile p = Profile({{1, 2}, {3, 4}, {5, 6}});
    EXPECT_EQ(p.GetKoordi(2).x, 5.0);
    for (const int index : {3, -1}) {
        try {
            p.GetKoordi(index);
            FAIL() << index;
        } catch (const EListError& e) {
            EXPECT_EQ(std::string(e.what()), "Listenindex überschreitet das Maximum (" + std::to_string(index) + ")");
        }
    }
}

TEST(Normalize, HugeCoordinatesOverflowInsteadOfGivingInfinity)
{
    TProfile p = Profile({{1e200, 1e200}, {-1e200, 0}, {0, -1e200}});
    EXPECT_THROW(p.Normalize(), EOverflow);
    for (const TKoordi& k : p.Points) {
        EXPECT_TRUE(std::isfinite(k.x));
        EXPECT_TRUE(std::isfinite(k.y));
    }
}

struct MathCase {
    const char* name;
    std::function<double()> operation;
    const char* message;
};

class CheckedMath : public ::testing::TestWithParam<MathCase> {};

TEST_P(CheckedMath, RaisesWithItsMessage)
{
    try {
        const double result = GetParam().operation();
        FAIL() << "gave " << result;
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CheckedMath,
    ::testing::Values(MathCase{"ZeroByZero", [] { return fpcheck::Div(0.0, 0.0); }, "Ungültige Gleitkommaoperation"},
                      MathCase{"OneByZero", [] { return fpcheck::Div(1.0, 0.0); }, "Gleitkommadivision durch Null"},
                      MathCase{"MinusOneByMinusZero", [] { return fpcheck::Div(-1.0, -0.0); },
                               "Gleitkommadivision durch Null"},
                      MathCase{"QuotientTooLarge", [] { return fpcheck::Div(1e300, 1e-300); }, "Gleitkommaüberlauf"},
                      MathCase{"RootOfNegative", [] { return fpcheck::Sqrt(-1e-300); }, "Ungültige Gleitkommaoperation"},
                      MathCase{"ArcSineAboveOne", [] { return fpcheck::ArcSin(1.0000000000000002); },
                               "Ungültige Gleitkommaoperation"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
