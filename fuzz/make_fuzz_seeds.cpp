// Writes the seed corpora of the fuzz harnesses: small valid BMPs of every depth and both RLE
// kinds, baseline, progressive, greyscale and CMYK JPEGs, boundary doubles for the number format,
// and a few outlines for the profile table. Usage: make_fuzz_seeds <directory>
#include "ImportSamples.h"
#include "SampleImages.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& file, const samples::Bytes& bytes)
{
    if (!samples::WriteFile(file.string(), bytes)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::exit(1);
    }
}

samples::Bytes DoubleBytes(double v)
{
    samples::Bytes b(8);
    std::memcpy(b.data(), &v, 8);
    return b;
}

void Append16(samples::Bytes& b, int v)
{
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const fs::path root(argv[1]);
    for (const char* sub : {"bmp", "jpeg", "png", "tiff", "pdf", "number", "profile", "chart", "datfile"})
        fs::create_directories(root / sub);

    struct BmpKind {
        int bits;
        bool rle;
    };
    for (const BmpKind k : {BmpKind{1, false}, {4, false}, {4, true}, {8, false}, {8, true}, {16, false},
                            {24, false}, {32, false}}) {
        for (const auto& [w, h] : {std::pair{1, 1}, {5, 3}, {17, 9}}) {
            const std::string name = std::to_string(k.bits) + (k.rle ? "rle_" : "_") + std::to_string(w) + "x" +
                                     std::to_string(h) + ".bmp";
            Put(root / "bmp" / name, samples::MakeBmp(w, h, k.bits, k.rle));
        }
    }

    using samples::JpegKind;
    const std::pair<JpegKind, const char*> kinds[] = {{JpegKind::Baseline, "baseline"},
                                                      {JpegKind::Progressive, "progressive"},
                                                      {JpegKind::Greyscale, "grey"},
                                                      {JpegKind::Cmyk, "cmyk"}};
    for (const auto& [kind, name] : kinds) {
        Put(root / "jpeg" / (std::string(name) + "_8x8.jpg"), samples::MakeJpeg(8, 8, kind, 90));
        Put(root / "jpeg" / (std::string(name) + "_19x13.jpg"), samples::MakeJpeg(19, 13, kind, 50));
    }

    const double numbers[] = {0.0,
                              -0.0,
                              1.0,
                              0.5,
                              -0.0123,
                              0.0001,
                              0.00005,
                              2.0 / 3.0,
                              123456.789,
                              1e15,
                              999999999999999.5,
                              0.1 + 0.2,
                              0.000099999999999999995,
                              std::numeric_limits<double>::min(),
                              std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    int i = 0;
    for (double v : numbers)
        Put(root / "number" / ("n" + std::to_string(i++)), DoubleBytes(v));

    // A clicked profile in pixel coordinates, a vertical line, a reversed one, and raw doubles.
    const std::vector<std::vector<std::pair<int, int>>> outlines = {
        {{500, 300}, {400, 280}, {100, 300}, {400, 316}, {499, 301}},
        {{10, 1}, {10, 2}, {10, 3}, {10, 4}},
        {{499, 301}, {400, 316}, {100, 300}, {400, 280}, {500, 300}},
        {{1, 1}, {2, 2}, {3, 3}},
    };
    i = 0;
    for (const auto& outline : outlines) {
        samples::Bytes b{0};
        Append16(b, 600);
        for (const auto& [x, y] : outline) {
            Append16(b, x);
            Append16(b, y);
        }
        Put(root / "profile" / ("p" + std::to_string(i++)), b);
    }
    samples::Bytes raw{1};
    for (double v : {600.0, 500.0, 300.0, 400.0, 280.0, 100.0, 300.0, 400.0, 316.0, 1e300, -1e300})
        for (std::uint8_t byte : DoubleBytes(v))
            raw.push_back(byte);
    Put(root / "profile" / "raw", raw);

    // The chart: the review plot of a profile zoomed far out by the wheel, and a small control
    // whose labels are long.
    const auto chartScript = [](int width, int height, std::initializer_list<double> points,
                                std::initializer_list<std::uint8_t> ops) {
        samples::Bytes b;
        Append16(b, width - 1);
        Append16(b, height - 1);
        b.push_back(static_cast<std::uint8_t>(points.size() / 2));
        for (double v : points)
            for (std::uint8_t byte : DoubleBytes(v))
                b.push_back(byte);
        b.insert(b.end(), ops);
        return b;
    };
    Put(root / "chart" / "wheel_out", chartScript(770, 513, {1, 0, 0.5, 0.06, 0, 0, 0.5, -0.04, 1, 0}, {0, 255, 7, 100, 0, 200, 0}));
    Put(root / "chart" / "long_labels", chartScript(120, 90, {0, -1e17, 1, 1e17}, {7, 10, 0, 20, 0, 5, 1}));

    // Titles with every kind of line break, and the example table of the file format.
    const std::string titles[] = {"Test-Zovori", "NACA 2412\r\n", "a\xE2\x80\xA8" "b", "", "Profil \xC3\xA4 \xC3\x9F",
                                  "x\xC2\x85y\vz\fw\rv", "\xEF\xB7\x90\xEF\xB7\x91"};
    i = 0;
    for (const std::string& title : titles) {
        samples::Bytes b{static_cast<std::uint8_t>(title.size())};
        b.insert(b.end(), title.begin(), title.end());
        b.push_back(5);
        for (double v : {1.0, 0.0, 0.5, 0.06, 0.0, 0.0, 0.5, -0.04, 1.0, 0.0})
            for (std::uint8_t byte : DoubleBytes(v))
                b.push_back(byte);
        Put(root / "datfile" / ("t" + std::to_string(i++)), b);
    }

    // The imported kinds: every PNG colour type at two depths, the TIFF compressions, a PDF of two pages.
    const auto put = [&](const char* sub, const std::string& name, const QByteArray& bytes) {
        Put(root / sub / name, samples::Bytes(bytes.begin(), bytes.end()));
    };
    for (const auto& [type, channels] : {std::pair{0, 1}, {2, 3}, {4, 2}, {6, 4}})
        for (const int depth : {8, 16})
            put("png", "type" + std::to_string(type) + "_" + std::to_string(depth) + ".png",
                import_samples::MakePng(5, 3, type, depth, QByteArray(5 * 3 * channels * depth / 8, '\x61')));
    put("png", "palette_trns.png", import_samples::MakePng(4, 2, 3, 8, QByteArray("\0\1\2\0\1\2\0\1", 8),
                                                           QByteArray("\xff\0\0\0\xff\0\0\0\xff", 9), QByteArray("\x80", 1)));
    put("png", "grey_1bit.png", import_samples::MakePng(9, 2, 0, 1, QByteArray("\xA5\x80\x5A\x00", 4)));
    using import_samples::TiffPage;
    for (const int compression : {1, 5, 8, 32773}) {
        put("tiff", "grey_" + std::to_string(compression) + ".tif",
            import_samples::MakeTiff({TiffPage{6, 4, 8, 1, 1, compression, QByteArray(24, '\x33')}}));
        put("tiff", "rgb16_" + std::to_string(compression) + ".tif",
            import_samples::MakeTiff({TiffPage{3, 2, 16, 3, 2, compression, QByteArray(36, '\x44')}}));
    }
    for (const int compression : {3, 4})
        put("tiff", "fax_" + std::to_string(compression) + ".tif",
            import_samples::MakeTiff({TiffPage{16, 3, 1, 1, 0, compression, QByteArray("\x0f\xf0\xaa\x55\x00\xff", 6)}}));
    put("tiff", "pages.tif",
        import_samples::MakeTiff({TiffPage{2, 1, 8, 1, 1, 1, QByteArray(2, '\1')}, TiffPage{1, 2, 8, 1, 1, 5, QByteArray(2, '\2')}}));
    put("pdf", "two_pages.pdf", import_samples::MakePdf(2));
    return 0;
}
