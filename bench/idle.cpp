// The idle program: the real windows with their timers running on the offscreen platform, and
// the process's CPU time over a stretch of wall time in which nobody touches them.
#include "Application.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include <QApplication>
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

constexpr double TargetPercent = 1.0;

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

// Arguments: contour points, review window shown (1) or hidden (0).
void BM_IdleProgram(benchmark::State& state)
{
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

    double cpu = 0.0, wall = 0.0;
    for (auto _ : state) {
        const double cpu0 = ProcessCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        RunEventLoop(2000);
        cpu += ProcessCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    }
    state.counters["cpu_pct"] = 100.0 * cpu / wall;
    state.counters["target_pct"] = TargetPercent;
    state.SetLabel("target: at most 1 % of a core; BM_BareTimers is the floor of this machine");

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
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The floor under every figure above: the two timers at their intervals with nothing to do.
void BM_BareTimers(benchmark::State& state)
{
    QTimer ten, twenty;
    int ticks = 0;
    QObject::connect(&ten, &QTimer::timeout, [&] { ++ticks; });
    QObject::connect(&twenty, &QTimer::timeout, [&] { ++ticks; });
    ten.start(10);
    twenty.start(20);
    RunEventLoop(200);
    double cpu = 0.0, wall = 0.0;
    for (auto _ : state) {
        const double cpu0 = ProcessCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        RunEventLoop(2000);
        cpu += ProcessCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    }
    state.counters["cpu_pct"] = 100.0 * cpu / wall;
    state.counters["ticks_per_s"] = ticks / (wall + 0.2);
}
BENCHMARK(BM_BareTimers)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

QtMessageHandler defaultHandler = nullptr;

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    defaultHandler = qInstallMessageHandler(FilterMessages);
    TApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
