#include "PlotRefill.h"

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
