// The view arithmetic: wheel counter, zoom, rotation, pan, point rotation, wheel fractions.
#include "ViewTransform.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

TEST(WheelCounter, EveryThirdNotificationActsAndDirectionsShareTheCount)
{
    TViewState v;
    EXPECT_EQ(WheelNotification(v, +1, false, false), TWheelAction::None);
    EXPECT_EQ(WheelNotification(v, +1, false, false), TWheelAction::None);
    EXPECT_EQ(v.WheelTicks, 2);
    EXPECT_EQ(WheelNotification(v, -1, false, false), TWheelAction::Zoom);
    EXPECT_EQ(v.WheelTicks, 0);
}

TEST(WheelCounter, ModifiersPickTheStepAndShiftWinsOverCtrl)
{
    struct Row {
        const char* name;
        bool shift, ctrl;
        int direction;
        int radiusBefore;
        TWheelAction action;
        int radiusAfter;
    };
    const Row rows[] = {
        {"plain zooms", false, false, +1, 4, TWheelAction::Zoom, 4},
        {"ctrl rotates", false, true, -1, 4, TWheelAction::Rotate, 4},
        {"shift grows the dots", true, false, +1, 4, TWheelAction::None, 5},
        {"shift with ctrl still sizes", true, true, +1, 9, TWheelAction::None, 10},
        {"shift down stops at 4", true, false, -1, 4, TWheelAction::None, 4},
        {"shift down shrinks above 4", true, false, -1, 6, TWheelAction::None, 5},
    };
    for (const Row& row : rows) {
        TViewState v;
        v.PointRadius = row.radiusBefore;
        v.WheelTicks = 2;
        EXPECT_EQ(WheelNotification(v, row.direction, row.shift, row.ctrl), row.action) << row.name;
        EXPECT_EQ(v.PointRadius, row.radiusAfter) << row.name;
    }
}

TEST(Zoom, OneStepGivesTheCubeOfTheLevel)
{
    TViewState in, out;
    ZoomStep(in, +1);
    ZoomStep(out, -1);
    EXPECT_DOUBLE_EQ(in.ZoomFactor, 1.157625);
    EXPECT_DOUBLE_EQ(in.PreviousZoomFactor, 1.0);
    EXPECT_DOUBLE_EQ(out.ZoomFactor, 0.857375);
    EXPECT_DOUBLE_EQ(in.ZoomLevel, 105.0);
}

TEST(Zoom, KeepsTheViewPointUnderTheCursor)
{
    TViewState v;
    v.CursorPos = {400, 300};
    ZoomStep(v, +1);
    EXPECT_EQ(v.ViewOriginX, -63); // 463.05 -> 463
    EXPECT_EQ(v.ViewOriginY, -47); // 347.2875 -> 347
}

TEST(Zoom, LevelZeroKeepsTheLastFactorAndOrigin)
{
    TViewState v;
    v.CursorPos = {10, 20};
    for (int i = 0; i < 19; ++i)
        ZoomStep(v, -1);
    EXPECT_DOUBLE_EQ(v.ZoomLevel, 5.0);
    EXPECT_NEAR(v.ZoomFactor, 0.000125, 1e-18);
    const TViewState before = v;
    ZoomStep(v, -1);
    ZoomStep(v, -1);
    EXPECT_DOUBLE_EQ(v.ZoomLevel, 0.0);
    EXPECT_EQ(v.ZoomFactor, before.ZoomFactor);
    EXPECT_EQ(v.ViewOriginX, before.ViewOriginX);
    EXPECT_EQ(v.ViewOriginY, before.ViewOriginY);
    ZoomStep(v, +1);
    EXPECT_DOUBLE_EQ(v.ZoomLevel, 5.0);
}

TEST(Zoom, FarZoomSaturatesInsteadOfWrapping)
{
    TViewState v;
    v.ViewOriginX = -2000000000;
    v.CursorPos = {1000, 0};
    for (int i = 0; i < 200; ++i)
        ZoomStep(v, +1);
    EXPECT_EQ(v.ViewOriginX, INT_MIN + 1001); // 1000 - INT_MAX
    TViewState far;
    far.ViewOriginX = 100;
    far.ZoomFactor = 1e6;
    EXPECT_EQ(ViewToClient(far, 1e12, 0).x, INT_MAX);
    EXPECT_EQ(ViewToClient(far, -1e12, 0).x, INT_MIN + 100);
}

TEST(ViewMapping, RoundsHalvesToEvenAndInvertsUnrounded)
{
    TViewState v;
    v.ViewOriginX = 10;
    v.ViewOriginY = -3;
    const struct {
        double x;
        int cx;
    } rows[] = {{2.5, 12}, {3.5, 14}, {-2.5, 8}, {-3.5, 6}, {0.49, 10}};
    for (const auto& row : rows)
        EXPECT_EQ(ViewToClient(v, row.x, 0).x, row.cx) << row.x;
    v.ZoomFactor = 4.0;
    double x = 0, y = 0;
    ClientToView(v, 11, 0, x, y);
    EXPECT_DOUBLE_EQ(x, 0.25);
    EXPECT_DOUBLE_EQ(y, 0.75);
}

TEST(Rotation, WrapsWithinZeroTo360)
{
    TContourPointArray none;
    TViewState v;
    RotateStep(v, -1, none);
    EXPECT_DOUBLE_EQ(v.RotationAngle, 355.0);
    RotateStep(v, +1, none);
    EXPECT_EQ(v.RotationAngle, 0.0);
}

TEST(Rotation, TurnsTheContourWithThePictureAndBackAfterAFullTurn)
{
    TViewState v;
    TContourPointArray contour{{100.0, 0.0, 0.0}};
    RotateStep(v, +1, contour);
    EXPECT_NEAR(contour[0].x, 99.61946980917455, 1e-12);
    EXPECT_NEAR(contour[0].y, 8.715574274765817, 1e-12);
    for (int i = 1; i < 72; ++i)
        RotateStep(v, +1, contour);
    EXPECT_EQ(v.RotationAngle, 0.0);
    EXPECT_NEAR(contour[0].x, 100.0, 1e-9);
    EXPECT_NEAR(contour[0].y, 0.0, 1e-9);
}

TEST(Rotation, WrapDownTurnsBy355Degrees)
{
    TViewState v;
    TContourPointArray contour{{0.0, 50.0, 7.0}};
    RotateStep(v, -1, contour);
    // +355 degrees on screen is -5: (0, 50) goes to (50 sin 5, 50 cos 5); z stays.
    EXPECT_NEAR(contour[0].x, 50.0 * std::sin(5.0 * M_PI / 180.0), 1e-9);
    EXPECT_NEAR(contour[0].y, 50.0 * std::cos(5.0 * M_PI / 180.0), 1e-9);
    EXPECT_EQ(contour[0].z, 7.0);
}

TEST(RotatePoint, EachAxisTurnsAboutTheCentreAndKeepsItsOwnComponent)
{
    const double q = M_PI / 2;
    struct Row {
        const char* name;
        int axis;
        TContourPoint expected;
    };
    // Point (1, 2, 3) about centre (1, 1, 1): d = (0, 1, 2).
    const Row rows[] = {
        {"x axis", 0, {1.0, 1.0 + 2.0, 1.0 - 1.0}},
        {"y axis", 1, {1.0 + 2.0, 2.0, 1.0}},
        {"z axis", 2, {1.0 + 1.0, 1.0, 3.0}},
        {"unknown axis", 7, {1.0, 2.0, 3.0}},
    };
    for (const Row& row : rows) {
        TContourPoint p{1.0, 2.0, 3.0};
        RotatePointAboutAxis(p, {1.0, 1.0, 1.0}, row.axis, q);
        EXPECT_NEAR(p.x, row.expected.x, 1e-12) << row.name;
        EXPECT_NEAR(p.y, row.expected.y, 1e-12) << row.name;
        EXPECT_NEAR(p.z, row.expected.z, 1e-12) << row.name;
    }
}

TEST(Pan, MovesByTheDistanceFromTheAnchorAndMovesTheAnchor)
{
    TViewState v;
    v.PanAnchorX = 200;
    v.PanAnchorY = 100;
    PanStep(v, 210, 95);
    EXPECT_EQ(v.ViewOriginX, 10);
    EXPECT_EQ(v.ViewOriginY, -5);
    PanStep(v, 210, 95);
    EXPECT_EQ(v.ViewOriginX, 10) << "a step without movement pans nothing";
    EXPECT_EQ(v.PanAnchorX, 210);
    EXPECT_EQ(v.PanAnchorY, 95);
}

TEST(WheelFractions, AccumulateIntoWholeNotches)
{
    TWheelAccumulator acc;
    EXPECT_EQ(acc.Add(40), 0);
    EXPECT_EQ(acc.Add(40), 0);
    EXPECT_EQ(acc.Add(40), 1);
    EXPECT_EQ(acc.Pending(), 0);
    EXPECT_EQ(acc.Add(360), 3);
    EXPECT_EQ(acc.Add(-60), 0);
    EXPECT_EQ(acc.Add(-60), -1);
    EXPECT_EQ(acc.Add(-60), 0);
    EXPECT_EQ(acc.Add(90), 0) << "a turn back drops the unfinished fraction";
    EXPECT_EQ(acc.Pending(), 90);
    EXPECT_EQ(acc.Add(INT_MAX), 1000);
}

} // namespace
