// One undo or redo on a contour of 100,000 points, as the main window runs it: the history step,
// the flags and the fresh hit sample at the cursor. Only the undo (or the redo) is timed; the step
// that brings the contour back for the next round is not. Times are the thread's CPU time, the
// anchors' too: on a machine shared with builds the wall clock measures the scheduler instead.
#include "ContourEditor.h"
#include "ContourHistory.h"
#include "ViewTransform.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

class NoEffects final : public TEditorEffects {
public:
    void RenderView() override {}
    void Repaint() override {}
    void PanView(int, int) override {}
};

struct Editor {
    TContourPointArray points;
    TViewState view;
    THitState hit;
    TEditMode mode = AppendAtEnd;
    TEditMode saved = Idle;
    bool dirty = false;
    bool profileSaved = true;
    TContourHistory history;
    NoEffects effects;

    explicit Editor(int n)
    {
        points.reserve(n);
        for (int i = 0; i < n; ++i) {
            const double a = 6.283185307179586 * i / n;
            points.push_back({1000.0 + 900.0 * std::cos(a), 600.0 + 400.0 * std::sin(a), 0.0});
        }
        view.CursorPos = {850, 500}; // inside the outline, touching nothing: the hit scans run to the end
    }
    TEditorModel Model() { return {points, view, hit, mode, saved, dirty, profileSaved, &history}; }
    void Undo() { EditorUndo(Model(), view.CursorPos, effects); }
    void Redo() { EditorRedo(Model(), view.CursorPos, effects); }
};

/// Times `timed` alone, with `untimed` run after it to restore the state for the next round.
void Alternate(benchmark::State& state, const std::function<void()>& timed, const std::function<void()>& untimed)
{
    for (auto _ : state) {
        const double start = ThreadSeconds();
        timed();
        const double stop = ThreadSeconds();
        untimed();
        state.SetIterationTime(stop - start);
    }
}

// The dearest single-point step: point 0 comes back, so the whole list moves up one place.
void BM_UndoDeleteFirst(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    e.history.Delete(e.points, 0);
    e.history.CloseStep();
    Alternate(state, [&] { e.Undo(); }, [&] { e.Redo(); });
    if (e.points.size() != static_cast<size_t>(state.range(0)) - 1)
        state.SkipWithError("the delete did not round-trip");
}

void BM_RedoDeleteFirst(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    e.history.Delete(e.points, 0);
    e.history.CloseStep();
    e.Undo();
    Alternate(state, [&] { e.Redo(); }, [&] { e.Undo(); });
}

// A drag of one point: the step holds where it began and where it ended.
void BM_UndoDrag(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    const int middle = static_cast<int>(state.range(0) / 2);
    e.history.BeginGesture(true, false);
    for (int i = 0; i < 50; ++i)
        e.history.Move(e.points, middle, 500.0 + i, 300.0);
    e.history.CloseStep();
    Alternate(state, [&] { e.Undo(); }, [&] { e.Redo(); });
}

void BM_UndoClear(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    EditorClearContour(e.Model());
    Alternate(state, [&] { e.Undo(); }, [&] { e.Redo(); });
}

void BM_RedoClear(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    EditorClearContour(e.Model());
    e.Undo();
    Alternate(state, [&] { e.Redo(); }, [&] { e.Undo(); });
}

/// One rotation step as the main window tells the history of it.
void TellTurn(TContourHistory& history)
{
    const double t = -5.0 / 57.29577951308232;
    history.Transformed([t](TContourPoint& p) { RotatePointAboutAxis(p, TContourPoint{}, 2, t); },
                        TContourAffine::Turn(-t));
}

// The cleared points owe one rotation step: the undo turns them as the step would have.
void BM_UndoClearAfterRotation(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    EditorClearContour(e.Model());
    Alternate(state, [&] { e.Undo(); }, [&] {
        e.Redo();
        TellTurn(e.history);
    });
}

// The cleared points owe range(1) rotation steps (72: a full turn): composed into one.
void BM_UndoClearAfterTurns(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    EditorClearContour(e.Model());
    Alternate(state, [&] { e.Undo(); }, [&] {
        e.Redo();
        for (int i = 0; i < state.range(1); ++i)
            TellTurn(e.history);
    });
}

// Anchors: the rotation step itself, and a move of the same bytes as the undo of the first point.
void BM_RotateStep(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    Alternate(state, [&] { RotateStep(e.view, +1, e.points); }, [] {});
}

void BM_MemmoveList(benchmark::State& state)
{
    Editor e(static_cast<int>(state.range(0)));
    const size_t bytes = (e.points.size() - 1) * sizeof(TContourPoint);
    Alternate(state, [&] {
        std::memmove(e.points.data() + 1, e.points.data(), bytes);
        benchmark::ClobberMemory();
    }, [] {});
}

// Fixed rounds: the untimed restoring step can cost far more than the timed one, which would let
// the library run a cheap timed step for minutes.
#define UNDO_BENCH(name, rounds)                                                                                   \
    BENCHMARK(name)->Arg(100000)->UseManualTime()->Iterations(rounds)->Unit(benchmark::kMillisecond)->Repetitions(7) \
        ->ReportAggregatesOnly(true)
UNDO_BENCH(BM_UndoDeleteFirst, 200);
UNDO_BENCH(BM_RedoDeleteFirst, 200);
UNDO_BENCH(BM_UndoDrag, 200);
UNDO_BENCH(BM_UndoClear, 200);
UNDO_BENCH(BM_RedoClear, 200);
UNDO_BENCH(BM_UndoClearAfterRotation, 40);
UNDO_BENCH(BM_RotateStep, 40);
BENCHMARK(BM_UndoClearAfterTurns)->Args({100000, 10})->Args({100000, 72})->Args({100000, 360})->UseManualTime()
    ->Iterations(40)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
UNDO_BENCH(BM_MemmoveList, 200);

} // namespace

BENCHMARK_MAIN();
