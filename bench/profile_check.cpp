// The profile check that ends every recompute of the review window, beside the recompute itself
// (table, normalisation, text) for the same clicked outline as its anchor.
#include "ProfileCheck.h"
#include "ProfileTable.h"
#include "ProfileText.h"
#include "XfoilText.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <numbers>
#include <string>
#include <vector>

namespace {

/// A NACA 2412 outline of `count` points in picture pixels (chord 1000, y downward), clicked from
/// the trailing edge over the upper side round the nose and back, on a slightly tilted scan.
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
        const double px = 1000 * x, py = 1000 * (yc + side * yt);
        contour.push_back({150 + px * 0.9995 + py * 0.0316, 450 - (py * 0.9995 - px * 0.0316), 0});
    };
    for (int i = half; i >= 0; --i)
        add(i, 1);
    for (int i = 1; static_cast<int>(contour.size()) < count; ++i)
        add(i, -1);
    return contour;
}

void BM_ProfileCheck(benchmark::State& state)
{
    const std::vector<TContourPoint> contour = ClickedOutline(static_cast<int>(state.range(0)));
    std::vector<TContourPoint> table;
    RecomputeProfileTable(contour, 900, true, table);
    for (auto _ : state) {
        const TProfileCheck check = CheckProfile(table, contour.size(), TNormalisation::Done);
        std::vector<std::string> lines = ProfileCheckLines(check, ",");
        benchmark::DoNotOptimize(lines.data());
    }
}

/// The hostile set: a zigzag packed into 0.5 x 3 pixels, then two far points; with `crossed` the
/// closing segments cut through the zigzag.
std::vector<TContourPoint> PackedZigzag(int count, bool crossed)
{
    std::vector<TContourPoint> ring;
    for (int i = 0; i + 2 < count; ++i)
        ring.push_back({0.5 * i / count, 3.0 * (i % 2), 0});
    ring.push_back({1000.0, crossed ? 1.5 : 1500.0, 0});
    ring.push_back({crossed ? -1000.0 : 1000.0, crossed ? 1.5 : -1500.0, 0});
    return ring;
}

// Timed in the thread's CPU time: on a machine shared with builds the wall clock of a 20 ms
// run measures the scheduler instead.
void BM_SelfCrossingHostile(benchmark::State& state)
{
    const std::vector<TContourPoint> ring = PackedZigzag(static_cast<int>(state.range(0)), state.range(1) != 0);
    auto seconds = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
    };
    for (auto _ : state) {
        const double start = seconds();
        const auto pair = FirstSelfCrossing(ring);
        benchmark::DoNotOptimize(pair);
        state.SetIterationTime(seconds() - start);
    }
}

void BM_XfoilText(benchmark::State& state)
{
    const std::vector<TContourPoint> contour = ClickedOutline(static_cast<int>(state.range(0)));
    std::vector<TContourPoint> table;
    RecomputeProfileTable(contour, 900, true, table);
    for (auto _ : state) {
        std::string text = XfoilProfileText("Test-Zovori", table);
        benchmark::DoNotOptimize(text.data());
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

BENCHMARK(BM_ProfileCheck)->Arg(500)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_SelfCrossingHostile)->Args({100000, 0})->Args({100000, 1})->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_XfoilText)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_RecomputeAnchor)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
