// The idle program: the real windows with their timers running, and the process's CPU time over a
// stretch of wall time in which nobody touches them, beside the floor of the same stretch for a bare
// window with the program's two timers doing nothing. Meant for a real X server (bench/run-all starts
// one): every question a tick asks the server costs there, and the offscreen platform hides it.
#include "QtBenchMain.h"
#include "Application.h"
#include "KeyState.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include <QApplication>
#include <QGuiApplication>
#include <QEventLoop>
#include <QImage>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

constexpr double TargetOverFloorPercent = 0.3;

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

void RunEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

/// A profile-like outline of n points across the middle of the client area.
void Outline(int n)
{
    ContourPoints.clear();
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * i / n;
        ContourPoints.push_back({580.0 + 500.0 * std::cos(a), 420.0 + 120.0 * std::sin(a) * (1.2 - std::cos(a) * 0.5), 0.0});
    }
}

/// A stretch of wall time: tenths of a per cent of a core need seconds, and the figures of shorter
/// stretches scatter by more than the target on an idle machine.
constexpr int StretchMs = 4000;

/// CPU per wall time, in % of a core, while the event loop runs for a stretch.
double MeasureCpuPercent()
{
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    RunEventLoop(StretchMs);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    return 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
}

/// The floor: a shown window with a 10 ms and a 20 ms timer that do nothing.
double MeasureFloorPercent()
{
    QWidget window;
    window.resize(400, 300);
    window.show();
    QTimer ten, twenty;
    QObject::connect(&ten, &QTimer::timeout, [] {});
    QObject::connect(&twenty, &QTimer::timeout, [] {});
    ten.start(10);
    twenty.start(20);
    RunEventLoop(500);
    return MeasureCpuPercent();
}

// Arguments: contour points, review window shown (1) or hidden (0).
void BM_IdleProgram(benchmark::State& state)
{
    const double floor = MeasureFloorPercent();
    ResetUnit1State();
    CreateForm(Form1);
    CreateForm(Form2);
    CreateForm(Form3);
    Form1->ReviewWindow = Form2;
    Form1->ReviewRecomputeButton = Form2->Button1;
    Form1->HelpWindow = Form3;
    Form2->Link.Contour = &ContourPoints;
    Form2->Link.ProfileSaved = &ProfileSaved;
    Form2->Link.ViewImageHeight = [] { return ViewImage ? ViewImage->height() : 0; };
    Form1->show();
    Outline(static_cast<int>(state.range(0)));
    ProfileDirty = true; // the review window takes the contour in at the first tick
    if (state.range(1) != 0)
        Form1->PolygonzurProfildateiweiterbearbeiten1->trigger();
    RunEventLoop(1500); // showing, composing and the recompute settle first

    double cpu = 0.0;
    for (auto _ : state)
        cpu = MeasureCpuPercent();
    state.counters["cpu_pct"] = cpu;
    state.counters["floor_pct"] = floor;
    state.counters["over_floor_pct"] = cpu - floor;
    state.counters["target_over_floor_pct"] = TargetOverFloorPercent;
    state.SetLabel(QGuiApplication::platformName().toStdString() +
                   ": target at most the floor (a bare window with the two timers) + 0.3 % of a core");

    delete Form3;
    delete Form2;
    delete Form1;
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    ResetUnit1State();
}
BENCHMARK(BM_IdleProgram)
    ->ArgsProduct({{0, 500, 10000}, {0, 1}})
    ->ArgNames({"points", "review"})
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qtbench::Prepare();
    TApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    platform::StartKeyTracking();
    return qtbench::Run(argc, argv);
}
