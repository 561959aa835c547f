#include "ChartPanel.h"
#include "FakeChartCanvas.h"

#include <gtest/gtest.h>

namespace {

/// A series on axes where a value equals its pixel (x right, y up from 100).
struct Fixture {
    TCustomAxisPanel chart;
    TLineSeries* s;
    FakeChartCanvas canvas;
    Fixture()
    {
        s = &chart.AddLineSeries();
        s->XValues().Order = TChartListOrder::loNone;
        s->SetSeriesColor(chartcolor::Red);
        s->Pointer().SetVisible(true);
        s->Pointer().SetStyle(TSeriesPointerStyle::psCircle);
        s->Pointer().SetHorizSize(3);
        s->Pointer().SetVertSize(3);
        for (TChartAxis* a : {&chart.BottomAxis(), &chart.LeftAxis()}) {
            a->RangeMinimum = 0;
            a->RangeMaximum = 100;
            a->RangeSpan = 100;
            a->CalcPixelPositions({0, 0, 100, 100});
        }
    }
    /// The drawing as "L x0,y0-x1,y1" and "E cx,cy" (marker centre).
    std::vector<std::string> draw()
    {
        s->DrawAllPoints(canvas);
        std::vector<std::string> r;
        for (const auto& o : canvas.ops) {
            if (o.kind == "line")
                r.push_back("L " + std::to_string(o.a) + "," + std::to_string(o.b) + "-" + std::to_string(o.c) + "," +
                            std::to_string(o.d));
            else if (o.kind == "ellipse")
                r.push_back("E " + std::to_string(o.a + 3) + "," + std::to_string(o.b + 3));
        }
        return r;
    }
};

using Ops = std::vector<std::string>;

TEST(SeriesDraw, EachSegmentComesBeforeTheMarkerOfItsStart)
{
    Fixture f;
    f.s->AddPoint(10, 90);
    f.s->AddPoint(20, 80);
    f.s->AddPoint(30, 70);
    EXPECT_EQ(f.draw(), (Ops{"L 10,10-20,20", "E 10,10", "L 20,20-30,30", "E 20,20", "E 30,30"}));
    const auto ellipses = f.canvas.of("ellipse");
    EXPECT_EQ(ellipses[0].c - ellipses[0].a, 6); // the 6 x 6 box, right and bottom exclusive
    EXPECT_EQ(ellipses[0].pen, chartcolor::Black);
    EXPECT_EQ(ellipses[0].brush, chartcolor::Red);
    EXPECT_EQ(f.canvas.of("line")[0].pen, chartcolor::Red);
}

TEST(SeriesDraw, UnorderedPointsAreDrawnInInsertionOrder)
{
    Fixture f;
    f.s->AddPoint(50, 50);
    f.s->AddPoint(10, 50);
    f.s->AddPoint(50, 60);
    EXPECT_EQ(f.draw(), (Ops{"L 50,50-10,50", "E 50,50", "L 10,50-50,40", "E 10,50", "E 50,40"}));
}

TEST(SeriesDraw, DegenerateSeries)
{
    {
        Fixture f;
        EXPECT_TRUE(f.draw().empty());
    }
    {
        Fixture f;
        f.s->AddPoint(40, 60);
        EXPECT_EQ(f.draw(), Ops{"E 40,40"});
    }
    {
        Fixture f; // two points on one pixel: no segment, both markers
        f.s->AddPoint(40, 60);
        f.s->AddPoint(40.2, 59.9);
        EXPECT_EQ(f.draw(), (Ops{"E 40,40", "E 40,40"}));
    }
}

TEST(SeriesDraw, PointsOfColourNoneAreLeftOut)
{
    Fixture f;
    f.s->AddPoint(10, 90);
    f.s->AddPoint(20, 80, "", clNone);
    f.s->AddPoint(30, 70);
    f.s->AddPoint(40, 60);
    // no segment ends at the hidden point and none starts from it; the first marker waits for its successor
    EXPECT_EQ(f.draw(), (Ops{"E 10,10", "L 30,30-40,40", "E 30,30", "E 40,40"}));
}

TEST(SeriesDraw, SegmentsTakeTheColourOfTheirEndPoint)
{
    Fixture f;
    f.s->AddPoint(10, 90);
    f.s->AddPoint(20, 80, "", chartcolor::Gray);
    f.draw();
    EXPECT_EQ(f.canvas.of("line")[0].pen, chartcolor::Gray);
    EXPECT_EQ(f.canvas.of("ellipse")[1].brush, chartcolor::Gray);
}

TEST(SeriesDraw, PointsFarOutsideThePixelRangeAreSkipped)
{
    Fixture f;
    f.s->AddPoint(10, 90);
    f.s->AddPoint(1e6, 50); // beyond 32766 pixels
    f.s->AddPoint(30, 70);
    // the skipped point draws nothing, so the line bridges it
    EXPECT_EQ(f.draw(), (Ops{"L 10,10-30,30", "E 10,10", "E 30,30"}));
}

TEST(SeriesDraw, RectangleMarkerIncludesItsFarEdge)
{
    Fixture f;
    f.s->Pointer().SetStyle(TSeriesPointerStyle::psRectangle);
    f.s->AddPoint(10, 90);
    f.s->DrawAllPoints(f.canvas);
    const auto r = f.canvas.of("rect");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ((std::vector<int>{r[0].a, r[0].b, r[0].c, r[0].d}), (std::vector<int>{7, 7, 14, 14}));
}

TEST(ChartDraw, SeriesIsClippedInsideTheWallOutline)
{
    Fixture f;
    f.chart.MarginLeft = f.chart.MarginTop = f.chart.MarginRight = f.chart.MarginBottom = 0;
    f.s->AddPoint(0, 0);
    f.s->AddPoint(1, 1);
    f.chart.DrawChart(f.canvas, 770, 513);
    const TChartRect& p = f.chart.PlotRect;
    const auto clips = f.canvas.of("clip");
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ((std::vector<int>{clips[0].a, clips[0].b, clips[0].c, clips[0].d}),
              (std::vector<int>{p.Left + 1, p.Top + 1, p.Right, p.Bottom - 1}));
    const auto rects = f.canvas.of("rect");
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ((std::vector<int>{rects[0].a, rects[0].b, rects[0].c, rects[0].d}),
              (std::vector<int>{p.Left, p.Top, p.Right + 1, p.Bottom + 1}));
    EXPECT_EQ(rects[0].brushStyle, TBrushStyle::bsClear);
    EXPECT_EQ(f.s->PointPixelY(1), 4);
}

} // namespace
