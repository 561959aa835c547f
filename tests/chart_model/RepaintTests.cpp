#include "ChartPanel.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Every property of the chart, its axes, wall, series, value lists and pointer asks for a repaint when
// its value changes, and only then.
TEST(Repaint, EveryPropertyChangeRequestsOne)
{
    using Change = std::function<void(TCustomAxisPanel&, TLineSeries&)>;
    const struct {
        const char* name;
        Change change;
    } rows[] = {
        {"View3D", [](auto& c, auto&) { c.View3D = false; }},
        {"Color", [](auto& c, auto&) { c.SetColor(chartcolor::Silver); }},
        {"MarginLeft", [](auto& c, auto&) { c.MarginLeft = 0; }},
        {"MarginTop", [](auto& c, auto&) { c.MarginTop = 0; }},
        {"MarginRight", [](auto& c, auto&) { c.MarginRight = 0; }},
        {"MarginBottom", [](auto& c, auto&) { c.MarginBottom = 0; }},
        {"BevelOuter", [](auto& c, auto&) { c.BevelOuter = TPanelBevel::bvLowered; }},
        {"BevelInner", [](auto& c, auto&) { c.BevelInner = TPanelBevel::bvRaised; }},
        {"BevelWidth", [](auto& c, auto&) { c.BevelWidth = 2; }},
        {"BorderWidth", [](auto& c, auto&) { c.BorderWidth = 1; }},
        {"LegendVisible", [](auto& c, auto&) { c.LegendVisible = false; }},
        {"TitleVisible", [](auto& c, auto&) { c.TitleVisible = false; }},
        {"ClipPoints", [](auto& c, auto&) { c.ClipPoints = false; }},
        {"AxisVisible", [](auto& c, auto&) { c.AxisVisible = false; }},
        {"PrintProportional", [](auto& c, auto&) { c.PrintProportional = false; }},
        {"BackWall.Pen", [](auto& c, auto&) { c.BackWall.Pen.Modify([](TChartPen& p) { p.Width = 2; }); }},
        {"BackWall.Brush", [](auto& c, auto&) { c.BackWall.Brush = {chartcolor::Red, TBrushStyle::bsSolid}; }},
        {"BackWall.Color", [](auto& c, auto&) { c.BackWall.Color = chartcolor::White; }},
        {"Increment", [](auto& c, auto&) { c.LeftAxis().Increment = 0.5; }},
        {"Inverted", [](auto& c, auto&) { c.LeftAxis().Inverted = true; }},
        {"Visible", [](auto& c, auto&) { c.LeftAxis().Visible = false; }},
        {"Labels", [](auto& c, auto&) { c.LeftAxis().Labels = false; }},
        {"LabelsFont", [](auto& c, auto&) { c.LeftAxis().LabelsFont.Modify([](TChartFont& f) { f.Size = 10; }); }},
        {"LabelsSeparation", [](auto& c, auto&) { c.LeftAxis().LabelsSeparation = 0; }},
        {"LabelsOnAxis", [](auto& c, auto&) { c.LeftAxis().LabelsOnAxis = false; }},
        {"LabelStyle", [](auto& c, auto&) { c.LeftAxis().LabelStyle = TAxisLabelStyle::talNone; }},
        {"LabelsSize", [](auto& c, auto&) { c.LeftAxis().LabelsSize = 30; }},
        {"RoundFirstLabel", [](auto& c, auto&) { c.LeftAxis().RoundFirstLabel = false; }},
        {"ExactDateTime", [](auto& c, auto&) { c.LeftAxis().ExactDateTime = false; }},
        {"TickOnLabelsOnly", [](auto& c, auto&) { c.LeftAxis().TickOnLabelsOnly = false; }},
        {"AxisPen", [](auto& c, auto&) { c.LeftAxis().AxisPen.Modify([](TChartPen& p) { p.Color = 1; }); }},
        {"Ticks", [](auto& c, auto&) { c.LeftAxis().Ticks.Modify([](TChartPen& p) { p.Visible = false; }); }},
        {"TickLength", [](auto& c, auto&) { c.LeftAxis().TickLength = 5; }},
        {"TicksInner", [](auto& c, auto&) { c.LeftAxis().TicksInner.Modify([](TChartPen& p) { p.Width = 3; }); }},
        {"TickInnerLength", [](auto& c, auto&) { c.LeftAxis().TickInnerLength = 2; }},
        {"MinorTicks", [](auto& c, auto&) { c.LeftAxis().MinorTicks.Modify([](TChartPen& p) { p.Visible = false; }); }},
        {"MinorTickLength", [](auto& c, auto&) { c.LeftAxis().MinorTickLength = 3; }},
        {"MinorTickCount", [](auto& c, auto&) { c.LeftAxis().MinorTickCount = 4; }},
        {"Grid", [](auto& c, auto&) { c.LeftAxis().Grid.Modify([](TChartPen& p) { p.Style = TPenStyle::psSolid; }); }},
        {"GridCentered", [](auto& c, auto&) { c.LeftAxis().GridCentered = true; }},
        {"StartPosition", [](auto& c, auto&) { c.BottomAxis().StartPosition = 10; }},
        {"EndPosition", [](auto& c, auto&) { c.BottomAxis().EndPosition = 90; }},
        {"PositionPercent", [](auto& c, auto&) { c.BottomAxis().PositionPercent = 5; }},
        {"Automatic", [](auto& c, auto&) { c.BottomAxis().SetAutomatic(false); }},
        {"Minimum", [](auto& c, auto&) { c.BottomAxis().SetMinimum(-1); }},
        {"SetRange", [](auto& c, auto&) { c.BottomAxis().SetRange(2, 3); }},
        {"SeriesColor", [](auto&, auto& s) { s.SetSeriesColor(chartcolor::Red); }},
        {"Active", [](auto&, auto& s) { s.SetActive(false); }},
        {"ColorEachPoint", [](auto&, auto& s) { s.ColorEachPoint = true; }},
        {"HorizAxis", [](auto&, auto& s) { s.HorizAxis = THorizAxis::aTopAxis; }},
        {"VertAxis", [](auto&, auto& s) { s.VertAxis = TVertAxis::aRightAxis; }},
        {"LinePen", [](auto&, auto& s) { s.LinePen.Modify([](TChartPen& p) { p.Visible = false; }); }},
        {"Stairs", [](auto&, auto& s) { s.Stairs = true; }},
        {"DrawArea", [](auto&, auto& s) { s.DrawArea = true; }},
        {"XValues.Order", [](auto&, auto& s) { s.XValues().Order = TChartListOrder::loNone; }},
        {"YValues.DateTime", [](auto&, auto& s) { s.YValues().DateTime = true; }},
        {"XValues.Name", [](auto&, auto& s) { s.XValues().Name = "Sehne"; }},
        {"YValues.Multiplier", [](auto&, auto& s) { s.YValues().SetMultiplier(2); }},
        {"point colour", [](auto&, auto& s) { s.SetPointColor(0, chartcolor::Black); }},
        {"Pointer.Visible", [](auto&, auto& s) { s.Pointer().SetVisible(true); }},
        {"Pointer.Style", [](auto&, auto& s) { s.Pointer().SetStyle(TSeriesPointerStyle::psCircle); }},
        {"Pointer.HorizSize", [](auto&, auto& s) { s.Pointer().SetHorizSize(3); }},
        {"Pointer.VertSize", [](auto&, auto& s) { s.Pointer().SetVertSize(3); }},
        {"Pointer.InflateMargins", [](auto&, auto& s) { s.Pointer().SetInflateMargins(false); }},
        {"Pointer.Pen", [](auto&, auto& s) { s.Pointer().Pen.Modify([](TChartPen& p) { p.Color = 1; }); }},
        {"Pointer.Brush", [](auto&, auto& s) { s.Pointer().Brush = {chartcolor::Red, TBrushStyle::bsClear}; }},
    };
    for (const auto& r : rows) {
        TCustomAxisPanel chart;
        TLineSeries& series = chart.AddLineSeries();
        series.AddPoint(0, 0);
        chart.Dirty = false;
        r.change(chart, series);
        EXPECT_TRUE(chart.Dirty) << r.name;
        chart.Dirty = false;
        r.change(chart, series);
        EXPECT_FALSE(chart.Dirty) << r.name << " written again with the same value";
    }
}

} // namespace
