#include "ChartPanel.h"
#include "ChartValueList.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::vector<double> reads(const TChartValueList& l)
{
    std::vector<double> r;
    for (int i = 0; i < l.ValueCount(); ++i)
        r.push_back(l.ValueAt(i));
    return r;
}

TEST(ValueList, OrderRulesPlaceValuesStably)
{
    struct Row {
        const char* name;
        TChartListOrder order;
        std::vector<double> in;
        std::vector<double> out;
        std::vector<int> indices;
    };
    const Row rows[] = {
        {"none keeps arrival order", TChartListOrder::loNone, {3, 1, 2}, {3, 1, 2}, {0, 1, 2}},
        {"ascending sorts", TChartListOrder::loAscending, {3, 1, 2}, {1, 2, 3}, {0, 0, 1}},
        {"ascending in front", TChartListOrder::loAscending, {2, 5, 1}, {1, 2, 5}, {0, 1, 0}},
        {"descending sorts", TChartListOrder::loDescending, {1, 3, 2}, {3, 2, 1}, {0, 0, 1}},
    };
    for (const Row& row : rows) {
        TChartValueList l("X", row.order);
        std::vector<int> indices;
        for (double v : row.in)
            indices.push_back(l.AppendValue(v));
        EXPECT_EQ(reads(l), row.out) << row.name;
        EXPECT_EQ(indices, row.indices) << row.name;
    }
}

TEST(ValueList, AscendingInsertionMovesYWithItsX)
{
    TCustomAxisPanel chart;
    TLineSeries& s = chart.AddLineSeries();
    ASSERT_EQ(s.XValues().Order, TChartListOrder::loAscending);
    EXPECT_EQ(s.AddPoint(3, 30), 0);
    EXPECT_EQ(s.AddPoint(1, 10, "", chartcolor::Red), 0);
    EXPECT_EQ(s.AddPoint(2, 20, "two"), 1);
    EXPECT_EQ(reads(s.XValues()), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(reads(s.YValues()), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(s.PointLabel(1), "two");
    EXPECT_EQ(s.PointColor(0), chartcolor::Red);
}

TEST(ValueList, EqualValuesKeepArrivalOrder)
{
    TCustomAxisPanel chart;
    TLineSeries& s = chart.AddLineSeries();
    s.AddPoint(1, 1);
    s.AddPoint(2, 2);
    s.AddPoint(1, 3); // lands after the first 1, not before it
    EXPECT_EQ(reads(s.YValues()), (std::vector<double>{1, 3, 2}));
}

TEST(ValueList, MultiplierScalesReadsAndStatisticsNotStorage)
{
    TChartValueList l("Y", TChartListOrder::loNone);
    for (double v : {1.0, -4.0, 2.5})
        l.AppendValue(v);
    EXPECT_DOUBLE_EQ(l.Sum(), -0.5);
    int changes = 0;
    l.OnChange = [&] { ++changes; };
    l.SetMultiplier(2.0);
    l.SetMultiplier(2.0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(reads(l), (std::vector<double>{2, -8, 5}));
    EXPECT_EQ(l.Stored(), (std::vector<double>{1, -4, 2.5}));
    EXPECT_DOUBLE_EQ(l.Lowest(), -8);
    EXPECT_DOUBLE_EQ(l.Highest(), 5);
    EXPECT_DOUBLE_EQ(l.Sum(), -1);
    EXPECT_DOUBLE_EQ(l.AbsSum(), 15);
}

TEST(ValueList, StatisticsFollowEveryChange)
{
    TChartValueList l("Y", TChartListOrder::loNone);
    l.AppendValue(5);
    EXPECT_EQ(l.Highest(), 5);
    EXPECT_FALSE(l.StatsDirty());
    l.InsertValueAt(0, 9);
    EXPECT_TRUE(l.StatsDirty());
    EXPECT_EQ(l.Highest(), 9);
    l.SetValue(1, -2);
    EXPECT_EQ(l.Lowest(), -2);
    l.RemoveAll();
    EXPECT_EQ(l.Lowest(), 0);
    EXPECT_EQ(l.Highest(), 0);
    EXPECT_EQ(l.Sum(), 0);
    EXPECT_EQ(l.AbsSum(), 0);
    EXPECT_THROW(l.ValueAt(0), std::out_of_range);
}

TEST(Series, ClearPointsLeavesStatisticsAtZeroAndNotifies)
{
    TCustomAxisPanel chart;
    TLineSeries& s = chart.AddLineSeries();
    s.AddPoint(4, 7);
    EXPECT_EQ(s.YValues().Highest(), 7);
    int cleared = 0;
    s.OnClearValues = [&](TChartSeries&) { ++cleared; };
    chart.Dirty = false;
    s.ClearPoints();
    EXPECT_EQ(cleared, 1);
    EXPECT_TRUE(chart.Dirty);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.XValues().Highest(), 0);
    EXPECT_EQ(s.YValues().Lowest(), 0);
}

TEST(Series, BeforeAddCanRefuseAPoint)
{
    TCustomAxisPanel chart;
    TLineSeries& s = chart.AddLineSeries();
    s.OnBeforeAdd = [](TChartSeries& me) { return me.XValues().PendingValue >= 0; };
    std::vector<int> added;
    s.OnAfterAdd = [&](TChartSeries&, int i) { added.push_back(i); };
    EXPECT_EQ(s.AddPoint(-1, 0), -1);
    EXPECT_EQ(s.AddPoint(1, 0), 0);
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(added, std::vector<int>{0});
}

TEST(Series, PointColorResolvesSpecialValues)
{
    TCustomAxisPanel chart;
    TLineSeries& s = chart.AddLineSeries();
    s.SetSeriesColor(chartcolor::Red);
    s.AddPoint(0, 0);
    s.AddPoint(1, 0, "", clNone);
    s.AddPoint(2, 0, "", chartcolor::Gray);
    EXPECT_EQ(s.PointColor(0), chartcolor::Red);
    EXPECT_EQ(s.PointColor(1), clNone);
    EXPECT_EQ(s.PointColor(2), chartcolor::Gray);
    EXPECT_EQ(s.PointColor(7), chartcolor::Red);
}

TEST(Series, PointerSizeBelowOneIsRefusedWithItsMessage)
{
    TLineSeries s;
    EXPECT_FALSE(s.Pointer().Visible());
    s.Pointer().SetHorizSize(3);
    try {
        s.Pointer().SetVertSize(0);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "Die Größe des Pointers muß > 0 sein.");
    }
    EXPECT_THROW(s.Pointer().SetHorizSize(-2), ChartException);
    EXPECT_EQ(s.Pointer().HorizSize(), 3);
    EXPECT_EQ(s.Pointer().VertSize(), 4);
}

TEST(Series, MarginsComeFromAVisibleInflatingPointer)
{
    TLineSeries s;
    EXPECT_EQ(s.PixelMargins().Left, 0);
    s.Pointer().SetVisible(true);
    s.Pointer().SetHorizSize(3);
    s.Pointer().SetVertSize(5);
    const TSeriesMargins m = s.PixelMargins();
    EXPECT_EQ(m.Left, 4);
    EXPECT_EQ(m.Right, 4);
    EXPECT_EQ(m.Top, 6);
    EXPECT_EQ(m.Bottom, 6);
    s.Pointer().SetInflateMargins(false);
    EXPECT_EQ(s.PixelMargins().Top, 0);
}

} // namespace
