// The review window's plot: refill, equal scale, wheel and rectangle zoom, readout, focus.
#include "Chart.h"
#include "Colors.h"
#include "FakeServices.h"
#include "PictureProfile.h"
#include "Unit2.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr double Tolerance = 1e-9;

struct Range {
    double min;
    double max;
    double Span() const { return max - min; }
    double Centre() const { return (min + max) / 2; }
};

Range Of(TChartAxis& axis) { return {axis.Minimum(), axis.Maximum()}; }

class Plot : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProfileCoords.clear();
        form = std::make_unique<TForm2>();
        form->FormCreate();
        // Ticks are run by hand, so the cursor read is the one each test sets.
        form->Timer1->stop();
        form->Link.Contour = &contour;
        form->Link.ProfileSaved = &saved;
        form->Link.ViewImageHeight = [] { return 600; };
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        // Records the flag each drawing finds: a pending value there is one adjustment.
        auto handler = form->Chart1->OnAfterDraw;
        form->Chart1->OnAfterDraw = [this, handler](TCustomAxisPanel& chart) {
            flagsAtDraw.push_back(chart.Tag);
            if (chart.Tag != 0)
                adjustedRatio = double(chart.PlotHeight()) / chart.PlotWidth();
            handler(chart);
        };
    }

    void TearDown() override
    {
        form.reset();
        QLocale::setDefault(QLocale::c());
    }

    TChart& chart() const { return *form->Chart1; }
    Range Bottom() const { return Of(chart().BottomAxis()); }
    Range Left() const { return Of(chart().LeftAxis()); }
    /// Height to width of the plot of the drawing the last adjustment followed: the labels of the
    /// new y range may then take a few pixels more or less.
    double PlotRatio() const { return adjustedRatio; }
    int Adjustments() const { return int(std::count_if(flagsAtDraw.begin(), flagsAtDraw.end(), [](int f) { return f != 0; })); }

    void Recompute()
    {
        contour = PictureProfile();
        form->Button1->click();
        ASSERT_FALSE(ProfileCoords.empty());
        flagsAtDraw.clear();
    }

    Range DataX() const { return DataRange(&TContourPoint::x); }
    Range DataY() const { return DataRange(&TContourPoint::y); }
    Range DataRange(double TContourPoint::*c) const
    {
        const auto [lo, hi] = std::minmax_element(ProfileCoords.begin(), ProfileCoords.end(),
                                                  [c](const TContourPoint& a, const TContourPoint& b) { return a.*c < b.*c; });
        return {(*lo).*c, (*hi).*c};
    }

    /// The cursor at a client pixel of the window, then one tick of its timer.
    void CursorAt(QPoint client)
    {
        services.cursor = form->mapToGlobal(client);
        form->Timer1Timer();
    }

    void Wheel(QWidget* target, QPoint local, int delta)
    {
        QWheelEvent wheel(QPointF(local), QPointF(target->mapToGlobal(local)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &wheel);
    }

    void ExpectEqualScaleAbout(double yCentre)
    {
        EXPECT_NEAR(Left().Span() / Bottom().Span(), PlotRatio(), Tolerance);
        EXPECT_NEAR(Left().Centre(), yCentre, Tolerance);
    }

    FakeServices services;
    std::vector<TContourPoint> contour;
    bool saved = true;
    std::unique_ptr<TForm2> form;
    std::vector<int> flagsAtDraw;
    double adjustedRatio = std::nan("");
};

TEST_F(Plot, ChartIsConfiguredAsTheReviewPlot)
{
    const TChart& c = chart();
    EXPECT_FALSE(c.View3D);
    EXPECT_FALSE(c.TitleVisible);
    EXPECT_FALSE(c.LegendVisible);
    EXPECT_EQ(c.MarginLeft + c.MarginTop + c.MarginRight + c.MarginBottom, 0);
    EXPECT_EQ(c.BackWall.Brush->Color, clWhite);
    EXPECT_EQ(c.BackWall.Brush->Style, TBrushStyle::bsClear);
    EXPECT_FALSE(c.PrintProportional);
    EXPECT_EQ(c.Color(), clSilver);
    ASSERT_EQ(chart().SeriesCount(), 1);
    EXPECT_EQ(&chart().Series(0), form->Series1);
    const TLineSeries& s = *form->Series1;
    EXPECT_EQ(s.SeriesColor(), clRed);
    EXPECT_TRUE(s.Pointer().Visible());
    EXPECT_EQ(s.Pointer().Style(), TSeriesPointerStyle::psCircle);
    EXPECT_EQ(s.Pointer().HorizSize(), 3);
    EXPECT_EQ(s.Pointer().VertSize(), 3);
    EXPECT_TRUE(s.Pointer().InflateMargins());
    EXPECT_EQ(s.XValues().Name, "X");
    EXPECT_EQ(s.YValues().Name, "Y");
    EXPECT_EQ(s.XValues().Order, TChartListOrder::loNone);
    EXPECT_EQ(s.YValues().Order, TChartListOrder::loNone);
}

TEST_F(Plot, RecomputeFillsTheSeriesInTableOrderWithTheClosingPoint)
{
    Recompute();
    ASSERT_EQ(form->Series1->Count(), int(ProfileCoords.size()));
    for (int i = 0; i < form->Series1->Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(form->Series1->XValues()[i], ProfileCoords[size_t(i)].x);
        EXPECT_EQ(form->Series1->YValues()[i], ProfileCoords[size_t(i)].y);
    }
    EXPECT_EQ(form->Series1->XValues()[0], 1.0);
    EXPECT_EQ(form->Series1->XValues()[form->Series1->Count() - 1], 1.0) << "closed through the trailing edge";

    // A second recompute replaces the points instead of adding to them.
    contour.pop_back();
    form->Button1->click();
    EXPECT_EQ(form->Series1->Count(), int(ProfileCoords.size()));
}

TEST_F(Plot, RecomputeShowsTheXRangeWidenedAndYAtEqualScaleAboutTheDataCentre)
{
    Recompute();
    // No event processing needed: the reset's repaints and the adjustment run at once.
    EXPECT_EQ(chart().Tag, 0);
    const Range x = DataX();
    EXPECT_NEAR(Bottom().min, x.min - 0.1 * x.Span(), Tolerance);
    EXPECT_NEAR(Bottom().max, x.max + 0.1 * x.Span(), Tolerance);
    ExpectEqualScaleAbout(DataY().Centre());
    EXPECT_NEAR(double(chart().PlotHeight()) / chart().PlotWidth(), PlotRatio(), 0.01) << "labels moved it a little";
}

struct WheelCase {
    const char* name;
    int delta;
    int events;        ///< wheel events of that delta, together one notch
    double spanFactor; ///< of the bottom axis after one notification
};

void PrintTo(const WheelCase& c, std::ostream* os) { *os << c.name; }

class WheelOverChart : public Plot, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(WheelOverChart, ZoomsOnceAboutTheMiddleThenAdjustsOnce)
{
    Recompute();
    const Range before = Bottom();
    const double yCentre = Left().Centre();
    CursorAt({700, 200});
    ASSERT_TRUE(chart().AllowZoom);
    for (int i = 0; i < GetParam().events; ++i)
        Wheel(form->Chart1, {380, 192}, GetParam().delta);
    EXPECT_NEAR(Bottom().Span(), GetParam().spanFactor * before.Span(), Tolerance);
    EXPECT_NEAR(Bottom().Centre(), before.Centre(), Tolerance);
    ExpectEqualScaleAbout(yCentre);
    EXPECT_EQ(Adjustments(), 1);
    EXPECT_EQ(flagsAtDraw.back(), 0) << "the adjustment's own repaint finds nothing pending";
}

// Up cuts 5 % of the span at each end, down adds 10 %; the fine steps of a high-resolution wheel
// add up to one notch.
INSTANTIATE_TEST_SUITE_P(Notches, WheelOverChart,
                         ::testing::Values(WheelCase{"up", 120, 1, 0.9}, WheelCase{"down", -120, 1, 1.2},
                                           WheelCase{"fine_up", 15, 8, 0.9}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Plot, FineWheelStepsShortOfANotchDoNothing)
{
    Recompute();
    const Range before = Bottom();
    CursorAt({700, 200});
    for (int i = 0; i < 7; ++i)
        Wheel(form->Chart1, {380, 192}, 15);
    EXPECT_NEAR(Bottom().Span(), before.Span(), Tolerance);
    EXPECT_EQ(Adjustments(), 0);
}

TEST_F(Plot, WheelOnAFocusedChartStillZoomsOnlyOnce)
{
    Recompute();
    QApplication::setActiveWindow(form.get());
    form->Chart1->setFocus();
    ASSERT_TRUE(form->Chart1->hasFocus());
    const Range before = Bottom();
    const double yCentre = Left().Centre();
    const double ySpan = Left().Span();
    CursorAt({700, 200});
    Wheel(form->Chart1, {380, 192}, 120);
    // The focused chart scrolls its vertical axis as well; the window's zoom acts once.
    EXPECT_NEAR(Bottom().Span(), 0.9 * before.Span(), Tolerance);
    EXPECT_NEAR(Left().Centre(), yCentre - 0.03 * ySpan, Tolerance);
    EXPECT_EQ(Adjustments(), 1) << "the scroll itself leaves no rescale pending";
}

struct NoZoomCase {
    const char* name;
    QPoint cursor;         ///< window client pixel
    bool overMemo;         ///< the wheel goes to the memo, else to the chart
};

void PrintTo(const NoZoomCase& c, std::ostream* os) { *os << c.name; }

class WheelWithoutZoom : public Plot, public ::testing::WithParamInterface<NoZoomCase> {};

TEST_P(WheelWithoutZoom, LeavesTheAxesAlone)
{
    Recompute();
    const Range bottom = Bottom();
    const Range left = Left();
    CursorAt(GetParam().cursor);
    EXPECT_FALSE(chart().AllowZoom);
    QWidget* target = GetParam().overMemo ? form->Memo1->viewport() : static_cast<QWidget*>(form->Chart1);
    Wheel(target, target->mapFrom(form.get(), GetParam().cursor), 120);
    Wheel(target, target->mapFrom(form.get(), GetParam().cursor), -120);
    EXPECT_EQ(Bottom().min, bottom.min);
    EXPECT_EQ(Bottom().max, bottom.max);
    EXPECT_EQ(Left().min, left.min);
    EXPECT_EQ(Left().max, left.max);
    EXPECT_EQ(Adjustments(), 0);
}

INSTANTIATE_TEST_SUITE_P(Places, WheelWithoutZoom,
                         ::testing::Values(NoZoomCase{"memo", {100, 100}, true},
                                           NoZoomCase{"chart_left_border", {320, 200}, false},
                                           NoZoomCase{"chart_top_border", {600, 8}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PermissionCase {
    const char* name;
    QPoint cursor;
    bool allowed;
};

void PrintTo(const PermissionCase& c, std::ostream* os) { *os << c.name; }

class ZoomPermission : public Plot, public ::testing::WithParamInterface<PermissionCase> {};

TEST_P(ZoomPermission, OnlyStrictlyInsideTheChart)
{
    CursorAt(GetParam().cursor);
    EXPECT_EQ(chart().AllowZoom, GetParam().allowed);
    // The same after the window moved, the cursor kept on the same place of the window.
    form->move(form->pos() + QPoint(45, 30));
    QCoreApplication::processEvents();
    CursorAt(GetParam().cursor);
    EXPECT_EQ(chart().AllowZoom, GetParam().allowed);
}

// Chart1 covers columns 320 .. 1089 and rows 8 .. 520 of the window.
INSTANTIATE_TEST_SUITE_P(Borders, ZoomPermission,
                         ::testing::Values(PermissionCase{"left_of", {319, 200}, false},
                                           PermissionCase{"left_border", {320, 200}, false},
                                           PermissionCase{"just_inside_left", {321, 200}, true},
                                           PermissionCase{"last_column", {1089, 200}, true},
                                           PermissionCase{"right_of", {1090, 200}, false},
                                           PermissionCase{"top_border", {600, 8}, false},
                                           PermissionCase{"just_inside_top", {600, 9}, true},
                                           PermissionCase{"last_row", {600, 520}, true},
                                           PermissionCase{"below", {600, 521}, false},
                                           PermissionCase{"over_memo", {100, 100}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Plot, TheTimerRefreshesThePermission)
{
    services.cursor = form->mapToGlobal(QPoint(100, 100));
    chart().AllowZoom = true;
    form->Timer1->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !chart().AllowZoom; }, 2000));
    services.cursor = form->mapToGlobal(QPoint(700, 200));
    EXPECT_TRUE(QTest::qWaitFor([&] { return chart().AllowZoom; }, 2000));
    form->Timer1->stop();
}

TEST_F(Plot, RectangleZoomKeepsItsXRangeAndCentresYOnIt)
{
    Recompute();
    CursorAt({700, 200});
    const QPoint from(150, 120);
    const QPoint to(400, 180); // flat: its height must not matter
    const TChartAxis& bottom = chart().BottomAxis();
    const TChartAxis& left = chart().LeftAxis();
    const double x0 = bottom.PixelToValue(from.x()), x1 = bottom.PixelToValue(to.x());
    const double yCentre = (left.PixelToValue(from.y()) + left.PixelToValue(to.y())) / 2;

    QTest::mousePress(form->Chart1, Qt::LeftButton, {}, from);
    QTest::mouseMove(form->Chart1, to);
    QTest::mouseRelease(form->Chart1, Qt::LeftButton, {}, to);
    form->Chart1->repaint();

    EXPECT_NEAR(Bottom().min, x0, Tolerance);
    EXPECT_NEAR(Bottom().max, x1, Tolerance);
    ExpectEqualScaleAbout(yCentre);
    EXPECT_EQ(Adjustments(), 1);
}

TEST_F(Plot, ShowingTheWindowAgainResetsTheZoom)
{
    Recompute();
    const Range reset = Bottom();
    CursorAt({700, 200});
    Wheel(form->Chart1, {380, 192}, 120);
    Wheel(form->Chart1, {380, 192}, 120);
    ASSERT_LT(Bottom().Span(), reset.Span());
    form->hide();
    flagsAtDraw.clear();
    form->show();
    // The showing's own reset leaves its rescale for the first drawing of the exposed window.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Adjustments() > 0; }, 5000));
    EXPECT_EQ(Adjustments(), 1);
    EXPECT_NEAR(Bottom().min, reset.min, Tolerance);
    EXPECT_NEAR(Bottom().max, reset.max, Tolerance);
    ExpectEqualScaleAbout(DataY().Centre());
}

TEST_F(Plot, ResizingTheChartRescalesOnce)
{
    Recompute();
    const double yCentre = Left().Centre();
    form->Chart1->resize(600, 513);
    EXPECT_EQ(Adjustments(), 1);
    ExpectEqualScaleAbout(yCentre);
    EXPECT_GT(PlotRatio(), 0.8) << "from the narrower plot";
}

TEST_F(Plot, EmptyContourStillAdjusts)
{
    form->Button1->click();
    EXPECT_EQ(form->Series1->Count(), 0);
    EXPECT_EQ(chart().Tag, 0);
    EXPECT_NEAR(Left().Span() / Bottom().Span(), PlotRatio(), Tolerance);
}

TEST_F(Plot, TallProfileOverflowsTheDerivedYRange)
{
    // Unnormalised pixels twice as high as wide cannot fit a plot wider than high at equal scale.
    form->CheckBox2->setChecked(false);
    contour = {{500, 100}, {450, 50}, {400, 300}, {450, 500}};
    form->Button1->click();
    ExpectEqualScaleAbout(DataY().Centre());
    EXPECT_LT(Left().max, DataY().max);
    EXPECT_GT(Left().min, DataY().min);
}

TEST_F(Plot, TitleEditChangesTheMemoNotThePlot)
{
    Recompute();
    const Range bottom = Bottom();
    const Range left = Left();
    const int count = form->Series1->Count();
    form->Edit2->setText(QStringLiteral("NACA-artig"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->Memo1->toPlainText().startsWith(QStringLiteral("NACA-artig\n1 0")));
    EXPECT_EQ(form->Series1->Count(), count);
    EXPECT_EQ(Bottom().min, bottom.min);
    EXPECT_EQ(Bottom().max, bottom.max);
    EXPECT_EQ(Left().min, left.min);
    EXPECT_EQ(Left().max, left.max);
}

TEST_F(Plot, ReadoutUsesTheUsersDecimalSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Recompute();
    // Ranges chosen so that pixels land on the wanted values: x 0 .. 1 across the plot, y ending at -0.0123.
    chart().BottomAxis().SetRange(0.0, 1.0);
    chart().LeftAxis().SetRange(-0.0123, 0.5);
    form->Chart1->repaint();
    const TChartAxis& bottom = chart().BottomAxis();
    const TChartAxis& left = chart().LeftAxis();
    ASSERT_EQ(bottom.AxisLength % 2, 0) << "the middle pixel must be exact";
    const int midX = bottom.StartPixel + bottom.AxisLength / 2;
    const int lowY = left.StartPixel + left.AxisLength;

    QTest::mouseMove(form->Chart1, {midX, lowY});
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("X=0,5 , Y=-0,0123"));

    QTest::mouseMove(form->Chart1, {bottom.StartPixel, lowY});
    EXPECT_TRUE(form->Edit1->text().startsWith(QStringLiteral("X=0 , Y=")));
}

TEST_F(Plot, ReadoutAtThePlotsLeftEdgeIsTheBottomMinimum)
{
    Recompute();
    const TChartAxis& bottom = chart().BottomAxis();
    QTest::mouseMove(form->Chart1, {bottom.StartPixel, 200});
    ASSERT_NEAR(bottom.Minimum(), -0.1, Tolerance) << "0 .. 1 widened by a tenth";
    EXPECT_TRUE(form->Edit1->text().startsWith(QStringLiteral("X=-0.1 , Y="))) << form->Edit1->text().toStdString();
}

TEST_F(Plot, ReadoutKeepsItsTextWhenTheMouseLeaves)
{
    Recompute();
    QTest::mouseMove(form->Chart1, {300, 200});
    const QString text = form->Edit1->text();
    ASSERT_TRUE(text.startsWith(QStringLiteral("X=")));
    QTest::mouseMove(form->Memo1->viewport(), {50, 50});
    EXPECT_EQ(form->Edit1->text(), text);
}

TEST_F(Plot, HoveringMovesTheFocusBetweenChartAndMemo)
{
    QWidget other;
    other.resize(200, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    const auto activate = [](QWidget& w) {
        w.activateWindow();
        return QTest::qWaitFor([&] { return w.isActiveWindow(); }, 5000);
    };
    ASSERT_TRUE(activate(other));
    ASSERT_FALSE(form->isActiveWindow());

    QTest::mouseMove(form->Chart1, {300, 200});
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->isActiveWindow(); }, 5000)) << "over the chart";

    ASSERT_TRUE(activate(other));
    QTest::mouseMove(form->Memo1->viewport(), {50, 50});
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->isActiveWindow(); }, 5000)) << "over the memo";
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->Memo1->hasFocus(); }, 5000));
}

} // namespace
