// Importing a 600 dpi A4 G4 TIFF and rendering a PDF page at 300 dpi, beside Qt's and Poppler's own
// decode of the same files, and the import's peak memory beside the picture it produces.
#include "PictureImport.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <poppler-qt6.h>
#include <tiffio.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int TiffWidth = 4960; // A4 at 600 dpi
constexpr int TiffHeight = 7016;

QTemporaryDir& Dir()
{
    static QTemporaryDir dir;
    return dir;
}

/// A scanned drawing: an airfoil outline with a grid and some speckle, black on white, 1 bit.
const QString& TiffFile()
{
    static const QString path = [] {
        const QString p = Dir().filePath(QStringLiteral("drawing.tif"));
        QImage drawing(TiffWidth, TiffHeight, QImage::Format_Mono);
        drawing.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        drawing.fill(0);
        {
            QPainter painter(&drawing);
            painter.setPen(QPen(Qt::color1, 3));
            for (int x = 200; x < TiffWidth; x += 400)
                painter.drawLine(x, 0, x, TiffHeight);
            for (int y = 200; y < TiffHeight; y += 400)
                painter.drawLine(0, y, TiffWidth, y);
            QPainterPath outline;
            for (int i = 0; i <= 400; ++i) {
                const double t = i / 400.0 * 2 * M_PI;
                const double x = 0.5 + 0.5 * std::cos(t);
                const double y = 0.6 * (0.2969 * std::sqrt(x) - 0.126 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                                        0.1015 * x * x * x * x) * (t < M_PI ? 1 : -1);
                const QPointF p(300 + x * 4300, 3500 - y * 4300);
                i == 0 ? outline.moveTo(p) : outline.lineTo(p);
            }
            painter.setPen(QPen(Qt::color1, 8));
            painter.drawPath(outline);
        }
        std::uint32_t seed = 7;
        for (int i = 0; i < 20000; ++i) {
            seed = seed * 1664525u + 1013904223u;
            drawing.setPixel(static_cast<int>((seed >> 8) % TiffWidth), static_cast<int>((seed >> 4) % TiffHeight), 1);
        }
        TIFF* tiff = TIFFOpen(p.toLocal8Bit().constData(), "w");
        if (!tiff)
            std::abort();
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, TiffWidth);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, TiffHeight);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TiffHeight);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 600.0);
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 600.0);
        for (int y = 0; y < TiffHeight; ++y)
            if (TIFFWriteScanline(tiff, drawing.scanLine(y), y, 0) < 0)
                std::abort();
        TIFFClose(tiff);
        return p;
    }();
    return path;
}

/// A report page: a measured profile drawn as vector lines with a grid, a table of numbers and a caption.
const QString& PdfFile()
{
    static const QString path = [] {
        const QString p = Dir().filePath(QStringLiteral("report.pdf"));
        QPdfWriter writer(p);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(600);
        QPainter painter(&writer);
        const int w = painter.viewport().width();
        painter.setPen(QPen(Qt::gray, 2));
        for (int x = 0; x < w; x += 120)
            painter.drawLine(x, 600, x, 2600);
        for (int y = 600; y <= 2600; y += 120)
            painter.drawLine(0, y, w, y);
        QPainterPath outline;
        for (int i = 0; i <= 300; ++i) {
            const double t = i / 300.0 * 2 * M_PI;
            const double x = 0.5 + 0.5 * std::cos(t);
            const double y = 0.6 * (0.2969 * std::sqrt(x) - 0.126 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                                    0.1015 * x * x * x * x) * (t < M_PI ? 1 : -1);
            const QPointF pt(200 + x * (w - 400), 1600 - y * (w - 400));
            i == 0 ? outline.moveTo(pt) : outline.lineTo(pt);
        }
        painter.setPen(QPen(Qt::black, 6));
        painter.drawPath(outline);
        painter.setFont(QFont(QStringLiteral("Liberation Sans"), 9));
        for (int row = 0; row < 40; ++row)
            painter.drawText(200, 3000 + row * 100,
                             QStringLiteral("%1   %2   %3").arg(row * 0.025, 0, 'f', 5).arg(0.06 * std::sin(row * 0.1), 0, 'f', 5).arg(row));
        painter.drawText(200, 400, QStringLiteral("Bild 3: gemessene Kontur des Profils"));
        return p;
    }();
    return path;
}

/// Starts a new peak of resident memory (VmHWM): Linux resets it on "5" to /proc/self/clear_refs.
void ResetPeak()
{
    std::ofstream(std::string("/proc/self/clear_refs")) << "5";
}

long long Status(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::atoll(line.c_str() + key.size()) * 1024;
    return -1;
}

void BM_ImportG4Tiff(benchmark::State& state)
{
    const QString path = TiffFile();
    for (auto _ : state) {
        const QImage image = ImportPictureFile(path, 0, 0);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The resident memory the import adds at its peak, the picture it returns included, once.
void BM_ImportG4TiffPeak(benchmark::State& state)
{
    const QString path = TiffFile();
    double peakPct = 0;
    for (auto _ : state) {
        ResetPeak();
        const long long before = Status("VmRSS");
        const QImage image = ImportPictureFile(path, 0, 0);
        peakPct = 100.0 * double(Status("VmHWM") - before) / double(image.sizeInBytes());
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["peak_pct_of_picture"] = peakPct;
}

// Qt's own reader of the same file, into its 1-bit picture: what the file costs to decode at all.
void BM_QtDecodeG4Tiff(benchmark::State& state)
{
    const QString path = TiffFile();
    for (auto _ : state) {
        QImageReader reader(path, "tiff");
        QImage image;
        if (!reader.read(&image))
            state.SkipWithError("Qt could not read the TIFF");
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_ImportPdfPage300(benchmark::State& state)
{
    const QString path = PdfFile();
    for (auto _ : state) {
        const QImage image = ImportPictureFile(path, 1, 300);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Poppler's own rendering of the same page at the same resolution and with the same hints.
void BM_PopplerRenderPage300(benchmark::State& state)
{
    const QString path = PdfFile();
    for (auto _ : state) {
        const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
        document->setRenderHint(Poppler::Document::Antialiasing, true);
        document->setRenderHint(Poppler::Document::TextAntialiasing, true);
        const QImage image = document->page(0)->renderToImage(300, 300);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The peak first, before other runs have left freed memory resident for it to reuse.
BENCHMARK(BM_ImportG4TiffPeak)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportG4Tiff)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_QtDecodeG4Tiff)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ImportPdfPage300)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PopplerRenderPage300)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
