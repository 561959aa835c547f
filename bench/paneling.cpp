// "Für XFOIL speichern" lays a spline through the table and panels it: 100,000 points in, 160 out,
// beside the recompute of the same outline (table, normalisation, text) as its anchor.
#include "ProfileTable.h"
#include "ProfileText.h"
#include "XfoilPaneling.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

/// A NACA 2412 outline of `count` points in picture pixels (chord 1000, y downward), clicked from
/// the trailing edge over the upper side round the nose and back.
std::vector<TContourPoint> ClickedOutline(int count)
{
    const int half = count / 2;
    std::vector<TContourPoint> contour;
    contour.reserve(static_cast<std::size_t>(count));
    auto add = [&](int i, double side) {
        const double x = 0.5 * (1 - std::cos(std::numbers::pi * i / half));
        const double yt = 0.6 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                                 0.1036 * x * x * x * x);
        const double yc = x < 0.4 ? 0.125 * (0.8 * x - x * x) : 0.0556 * (0.2 + 0.8 * x - x * x);
        contour.push_back({150 + 1000 * x, 450 - 1000 * (yc + side * yt), 0});
    };
    for (int i = half; i >= 0; --i)
        add(i, 1);
    for (int i = 1; static_cast<int>(contour.size()) < count; ++i)
        add(i, -1);
    return contour;
}

void BM_XfoilPaneling(benchmark::State& state)
{
    const std::vector<TContourPoint> contour = ClickedOutline(static_cast<int>(state.range(0)));
    std::vector<TContourPoint> table;
    RecomputeProfileTable(contour, 900, true, table);
    std::size_t written = 0;
    bool paneled = false;
    for (auto _ : state) {
        const TXfoilOutline outline = XfoilOutline(table);
        written = outline.Points.size();
        paneled = outline.Paneled;
        benchmark::DoNotOptimize(outline.Points.data());
    }
    state.counters["points_out"] = static_cast<double>(written);
    if (!paneled || written != XfoilNodes)
        state.SkipWithError("the outline should have been paneled to 160 points");
}

/// What the review window pays per recompute: its check has tested the self-crossing already.
void BM_XfoilPanelingAfterCheck(benchmark::State& state)
{
    const std::vector<TContourPoint> contour = ClickedOutline(static_cast<int>(state.range(0)));
    std::vector<TContourPoint> table;
    RecomputeProfileTable(contour, 900, true, table);
    for (auto _ : state) {
        const TXfoilOutline outline = XfoilOutline(table, false);
        benchmark::DoNotOptimize(outline.Points.data());
    }
}

void BM_RecomputeAnchor(benchmark::State& state)
{
    const std::vector<TContourPoint> contour = ClickedOutline(static_cast<int>(state.range(0)));
    std::vector<TContourPoint> table;
    for (auto _ : state) {
        RecomputeProfileTable(contour, 900, true, table);
        std::string text = ProfileText("Test-Zovori", table);
        benchmark::DoNotOptimize(text.data());
    }
}

} // namespace

BENCHMARK(BM_XfoilPaneling)->Arg(100000)->Arg(1000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_XfoilPanelingAfterCheck)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_RecomputeAnchor)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
