// Loading a large JPEG scan beside libjpeg-turbo's own djpeg, and the two mirrors beside memcpy.
#include "ImageDocument.h"
#include "JpegDecoder.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

/// Paper shade, grain and a few dark strokes: what a scanner gives, so the entropy is realistic.
std::vector<std::uint8_t> ScanPixels()
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(Width) * Height * 3);
    std::uint32_t seed = 2412;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>(seed >> 28) - 8;
            const bool stroke = (x + 3 * y / 2) % 700 < 4 || (y % 400) < 3;
            const int base = stroke ? 40 : 230 - (x * 20) / Width;
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * Width + x) * 3];
            p[0] = static_cast<std::uint8_t>(std::clamp(base + grain + 6, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(base + grain + 3, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(base + grain - 4, 0, 255));
        }
    return rgb;
}

/// Writes the scan as a quality 90 JPEG (4:2:0, as scanners and cameras store colour).
bool WriteScanJpeg(const std::string& path, bool progressive = false)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const std::vector<std::uint8_t> rgb = ScanPixels();
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = Width;
    cinfo.image_height = Height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[static_cast<std::size_t>(cinfo.next_scanline) * Width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

const std::string& ScanFile()
{
    static QTemporaryDir dir;
    static const std::string path = [] {
        const std::string p = dir.filePath(QStringLiteral("scan.jpg")).toStdString();
        if (!WriteScanJpeg(p))
            std::abort();
        return p;
    }();
    return path;
}

void BM_LoadJpeg(benchmark::State& state)
{
    const QString path = QString::fromStdString(ScanFile());
    for (auto _ : state) {
        const QImage image = LoadJpegFile(path);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// libjpeg-turbo's own decoder with the same inverse DCT, writing its pixels where they cost nothing.
void BM_Djpeg(benchmark::State& state)
{
    const std::string command = "djpeg -dct float -outfile /dev/null " + ScanFile();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("djpeg failed (is libjpeg-turbo-progs installed?)");
}
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_Djpeg)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

/// The scan as a progressive JPEG, and the same with its last scan repeated to 2,000 scans: a few
/// bytes a scan, each a pass over the whole picture.
const std::string& ProgressiveFile(bool manyScans)
{
    static QTemporaryDir dir;
    static const std::string plain = [] {
        const std::string p = dir.filePath(QStringLiteral("progressive.jpg")).toStdString();
        if (!WriteScanJpeg(p, true))
            std::abort();
        return p;
    }();
    static const std::string many = [] {
        std::FILE* in = std::fopen(plain.c_str(), "rb");
        std::vector<unsigned char> jpeg;
        for (int c; in && (c = std::fgetc(in)) != EOF;)
            jpeg.push_back(static_cast<unsigned char>(c));
        if (in)
            std::fclose(in);
        std::size_t lastScan = 0;
        int scans = 0;
        for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
            if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) {
                lastScan = i;
                ++scans;
            }
        const std::size_t end = jpeg.size() - 2;
        std::vector<unsigned char> out(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(end));
        for (; scans < 2000; ++scans)
            out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(lastScan),
                       jpeg.begin() + static_cast<std::ptrdiff_t>(end));
        out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(end), jpeg.end());
        const std::string p = dir.filePath(QStringLiteral("many-scans.jpg")).toStdString();
        std::FILE* file = std::fopen(p.c_str(), "wb");
        if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0)
            std::abort();
        return p;
    }();
    return manyScans ? many : plain;
}

void BM_LoadProgressiveJpeg(benchmark::State& state)
{
    const QString path = QString::fromStdString(ProgressiveFile(false));
    for (auto _ : state) {
        const QImage image = LoadJpegFile(path);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The refusal of the same picture in 2,000 scans: the scan limit stops it after MaxJpegScans.
void BM_RefuseJpegOfManyScans(benchmark::State& state)
{
    const QString path = QString::fromStdString(ProgressiveFile(true));
    for (auto _ : state) {
        try {
            LoadJpegFile(path);
            state.SkipWithError("a file of 2,000 scans was not refused");
            return;
        } catch (const TImageError&) {
        }
    }
}
BENCHMARK(BM_LoadProgressiveJpeg)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RefuseJpegOfManyScans)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

QImage& Picture()
{
    static QImage image = [] {
        QImage p(Width, Height, QImage::Format_BGR888);
        const std::vector<std::uint8_t> rgb = ScanPixels();
        for (int y = 0; y < Height; ++y)
            std::memcpy(p.scanLine(y), &rgb[static_cast<std::size_t>(y) * Width * 3], Width * 3);
        return p;
    }();
    return image;
}

void BM_MirrorHorizontal(benchmark::State& state)
{
    QImage& p = Picture();
    for (auto _ : state) {
        MirrorHorizontal(p);
        benchmark::DoNotOptimize(p.constBits());
    }
}

void BM_MirrorVertical(benchmark::State& state)
{
    QImage& p = Picture();
    for (auto _ : state) {
        MirrorVertical(p);
        benchmark::DoNotOptimize(p.constBits());
    }
}

void BM_Memcpy(benchmark::State& state)
{
    const QImage& p = Picture();
    std::vector<uchar> copy(static_cast<std::size_t>(p.sizeInBytes()));
    for (auto _ : state) {
        std::memcpy(copy.data(), p.constBits(), copy.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MirrorHorizontal)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_MirrorVertical)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

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
