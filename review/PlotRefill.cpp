#include "PlotRefill.h"

#include "ChartPanel.h"
#include "ChartSeries.h"

#include <cstring>
#include <string>

namespace {
bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

void RefillSeries(TChartSeries& series, const std::vector<TContourPoint>& table)
{
    TChartValueList& xs = series.XValues();
    TChartValueList& ys = series.YValues();
    if (series.Count() != static_cast<int>(table.size()) || xs.Order != TChartListOrder::loNone) {
        series.ClearPoints();
        for (const TContourPoint& p : table)
            series.AddPoint(p.x, p.y, std::string(), clUseSeriesColor);
        return;
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int index = static_cast<int>(i);
        if (!SameBits(xs.Stored()[i], table[i].x))
            xs.SetValue(index, table[i].x);
        if (!SameBits(ys.Stored()[i], table[i].y))
            ys.SetValue(index, table[i].y);
    }
    series.Repaint();
}

bool TZoomReset::TFrame::operator==(const TFrame& other) const
{
    // Bits: a -0 or a NaN in a range would write other labels than its look-alike.
    return std::memcmp(values.data(), other.values.data(), sizeof values) == 0 && flags == other.flags &&
           state == other.state && width == other.width && height == other.height && separators == other.separators;
}

TZoomReset::TFrame TZoomReset::Frame(TCustomAxisPanel& chart, int width, int height, const std::string& separators)
{
    TFrame frame;
    const TChartAxis* axes[] = {&chart.BottomAxis(), &chart.TopAxis(), &chart.LeftAxis(), &chart.RightAxis()};
    for (std::size_t i = 0; i < 4; ++i) {
        const TChartAxis& a = *axes[i];
        frame.values[4 * i] = a.Minimum();
        frame.values[4 * i + 1] = a.Maximum();
        frame.values[4 * i + 2] = a.DataMinimum();
        frame.values[4 * i + 3] = a.DataMaximum();
        frame.flags[3 * i] = a.Automatic();
        frame.flags[3 * i + 1] = a.AutomaticMinimum();
        frame.flags[3 * i + 2] = a.AutomaticMaximum();
    }
    // The tag tells whether the equal-scale adjustment is still to come (a hidden chart draws nothing).
    frame.state = {chart.IsZoomed, chart.ScalesRestored, chart.Tag};
    frame.width = width;
    frame.height = height;
    frame.separators = separators;
    return frame;
}

void TZoomReset::Reset(TCustomAxisPanel& chart, int width, int height, const std::string& separators)
{
    if (after_ && Frame(chart, width, height, separators) == *after_)
        return;
    chart.ResetZoom();
    after_ = Frame(chart, width, height, separators);
}
