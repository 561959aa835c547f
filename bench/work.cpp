// The work file with 100,000 points: opening it (reading the bytes and checking and converting every
// point), beside reading the same bytes alone; saving it; and the recovery snapshot the GUI thread
// takes (the copy of the points and the comparison with the last copy), which must stay under 5 ms.
#include "Unit1.h"
#include "WorkFile.h"
#include "WorkPaths.h"
#include "WorkSnapshot.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int Points = 100000;

TWork LargeWork()
{
    TWork w;
    w.Points.resize(Points);
    for (int i = 0; i < Points; ++i) {
        // Clicked positions turned by a few rotation steps: full-length doubles, as real contours hold.
        const double a = i * 0.0000628318530718;
        w.Points[std::size_t(i)] = {3000.0 + 2500.0 * std::cos(a) / 3.0, 2000.0 + 400.0 * std::sin(a) * 1.157625, 0.0};
    }
    return w;
}

struct TFileFixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("large.zovori"));
    TFileFixture()
    {
        const std::string bytes = WriteWork(LargeWork());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes.data(), qint64(bytes.size()));
    }
};

TFileFixture& File()
{
    static TFileFixture file;
    return file;
}

void BM_ReadWorkBytes(benchmark::State& state)
{
    for (auto _ : state) {
        auto bytes = ReadRegularFile(File().path, qint64(MaxWorkFileBytes));
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_OpenWork(benchmark::State& state)
{
    for (auto _ : state) {
        const auto bytes = ReadRegularFile(File().path, qint64(MaxWorkFileBytes));
        TWork w = ReadWork(std::string_view(bytes->constData(), std::size_t(bytes->size())));
        if (w.Points.size() != Points)
            state.SkipWithError("points lost");
        benchmark::DoNotOptimize(w);
    }
}

void BM_SaveWork(benchmark::State& state)
{
    const TWork w = LargeWork();
    for (auto _ : state) {
        std::string bytes = WriteWork(w);
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_RecoverySnapshot(benchmark::State& state)
{
    ContourPoints = LargeWork().Points;
    const TWorkSnapshot last = TakeWorkSnapshot(QStringLiteral("Test-Zovori"));
    for (auto _ : state) {
        TWorkSnapshot now = TakeWorkSnapshot(QStringLiteral("Test-Zovori"));
        // Unchanged work compares through every point: the slowest case of the check.
        if (!SameSnapshot(now, last))
            state.SkipWithError("snapshot differs");
        benchmark::DoNotOptimize(now);
    }
}

} // namespace

BENCHMARK(BM_ReadWorkBytes)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenWork)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveWork)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_RecoverySnapshot)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
