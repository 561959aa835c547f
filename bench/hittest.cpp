// One mouse move over a large contour: the cursor sampling, both hit tests and the move rules.
#include "ContourEditor.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

class NoEffects final : public TEditorEffects {
public:
    void RenderView() override {}
    void Repaint() override {}
    void PanView(int, int) override {}
};

// A closed-looking outline of n points round an ellipse, about one pixel apart at zoom 1 for
// 10,000 points; the cursor rests inside it, touching nothing, so both scans run to the end.
TContourPointArray Outline(int n)
{
    TContourPointArray points;
    points.reserve(n);
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * i / n;
        points.push_back({1000.0 + 900.0 * std::cos(a), 600.0 + 400.0 * std::sin(a), 0.0});
    }
    return points;
}

void BM_MouseMove(benchmark::State& state)
{
    TContourPointArray points = Outline(static_cast<int>(state.range(0)));
    TViewState view;
    view.ZoomFactor = 0.857375;
    view.ViewOriginX = 17;
    view.ViewOriginY = -3;
    THitState hit;
    TEditMode mode = Idle;
    TEditMode saved = Idle;
    bool dirty = false;
    bool profileSaved = true;
    const TEditorModel model{points, view, hit, mode, saved, dirty, profileSaved};
    NoEffects effects;
    int step = 0;
    for (auto _ : state) {
        const int x = 850 + (step & 7);
        const int y = 500 + ((step >> 3) & 7);
        ++step;
        EditorMouseMove(model, {x, y}, {}, x, y, effects);
        benchmark::DoNotOptimize(hit);
    }
    if (hit.HotPointIndex != -1 || hit.HotSegmentIndex != -1)
        state.SkipWithError("the cursor touched the outline; the scans stopped early");
}

BENCHMARK(BM_MouseMove)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
