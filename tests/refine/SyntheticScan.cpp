#include "SyntheticScan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <stdexcept>

#include <jpeglib.h>

namespace scan {
namespace {

constexpr double Pi = 3.141592653589793;

/// The share of the unit square centred on the origin where a x + b y <= t, (a, b) a unit vector:
/// the distribution of the sum of two uniform variables of widths |a| and |b|.
double HalfPlaneArea(double a, double b, double t)
{
    const double p = std::min(std::abs(a), std::abs(b));
    const double q = std::max(std::abs(a), std::abs(b));
    if (p < 1e-12)
        return std::clamp(t / q + 0.5, 0.0, 1.0);
    const double lo = (p + q) / 2;
    const double flat = (q - p) / 2;
    if (t <= -lo)
        return 0.0;
    if (t <= -flat)
        return (t + lo) * (t + lo) / (2 * p * q);
    if (t <= flat)
        return (t + flat) / q + p / (2 * q);
    if (t < lo)
        return 1.0 - (lo - t) * (lo - t) / (2 * p * q);
    return 1.0;
}

std::ptrdiff_t AlignedRow(int bytes)
{
    // Four-byte rows plus one spare word, so that no test passes by reading a packed row.
    return (bytes + 3) / 4 * 4 + 4;
}

TScan Empty(const TSheet& sheet, TPixelLayout layout, int bytesPerPixel)
{
    TScan s;
    s.Width = sheet.Width;
    s.Height = sheet.Height;
    s.Layout = layout;
    s.BytesPerLine = AlignedRow(sheet.Width * bytesPerPixel);
    s.Bytes.assign(static_cast<std::size_t>(s.BytesPerLine) * sheet.Height, 0xA5);
    return s;
}

std::uint8_t* Row(TScan& s, int y)
{
    return s.Bytes.data() + s.BytesPerLine * y;
}

TScan DecodeJpeg(const samples::Bytes& file, bool grey)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    // The decoder settings of the program's picture loading.
    cinfo.dct_method = JDCT_FLOAT;
    cinfo.do_block_smoothing = TRUE;
    if (grey) {
        cinfo.out_color_space = JCS_GRAYSCALE;
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 236;
    } else {
        cinfo.out_color_space = JCS_EXT_BGR;
    }
    jpeg_start_decompress(&cinfo);
    TScan s;
    s.Width = static_cast<int>(cinfo.output_width);
    s.Height = static_cast<int>(cinfo.output_height);
    s.Layout = grey ? TPixelLayout::Palette8 : TPixelLayout::Bgr24;
    s.BytesPerLine = AlignedRow(s.Width * (grey ? 1 : 3));
    s.Bytes.assign(static_cast<std::size_t>(s.BytesPerLine) * s.Height, 0);
    if (grey)
        for (int i = 0; i < cinfo.actual_number_of_colors; ++i)
            s.Palette[static_cast<std::size_t>(i)] = cinfo.colormap[0][i];
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = Row(s, static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return s;
}

} // namespace

TPictureBytes TScan::View() const
{
    TPictureBytes view;
    view.Bits = Bytes.data();
    view.Width = Width;
    view.Height = Height;
    view.BytesPerLine = BytesPerLine;
    view.Layout = Layout;
    view.PaletteBrightness = Palette;
    return view;
}

double DistanceToStroke(const TStroke& stroke, double x, double y)
{
    const double a = stroke.angle * Pi / 180;
    return -(x - stroke.x) * std::sin(a) + (y - stroke.y) * std::cos(a);
}

double Coverage(const TStroke& stroke, double x, double y)
{
    const double a = stroke.angle * Pi / 180;
    const double nx = -std::sin(a), ny = std::cos(a);
    const double e = DistanceToStroke(stroke, x, y);
    const double across = HalfPlaneArea(nx, ny, stroke.width / 2 - e) - HalfPlaneArea(nx, ny, -stroke.width / 2 - e);
    const double along = std::clamp(std::min(x + 0.5, stroke.x + stroke.to) - std::max(x - 0.5, stroke.x + stroke.from), 0.0, 1.0);
    return across * along;
}

namespace {

/// The share of pixel (x, y) that the union of the pieces covers, from 16 x 16 samples.
double PieceCoverage(const std::vector<TPiece>& pieces, int x, int y)
{
    const bool near = std::any_of(pieces.begin(), pieces.end(), [&](const TPiece& p) {
        const double vx = p.x1 - p.x0, vy = p.y1 - p.y0, l2 = vx * vx + vy * vy;
        const double t = l2 > 0 ? std::clamp(((x + 0.5 - p.x0) * vx + (y + 0.5 - p.y0) * vy) / l2, 0.0, 1.0) : 0.0;
        return std::hypot(x + 0.5 - p.x0 - t * vx, y + 0.5 - p.y0 - t * vy) <= p.width / 2 + 0.75;
    });
    if (!near)
        return 0.0;
    int inside = 0;
    for (int a = 0; a < 16; ++a)
        for (int b = 0; b < 16; ++b) {
            const double sx = x + (a + 0.5) / 16, sy = y + (b + 0.5) / 16;
            for (const TPiece& p : pieces) {
                const double vx = p.x1 - p.x0, vy = p.y1 - p.y0, l2 = vx * vx + vy * vy;
                const double t = l2 > 0 ? std::clamp(((sx - p.x0) * vx + (sy - p.y0) * vy) / l2, 0.0, 1.0) : 0.0;
                if (std::hypot(sx - p.x0 - t * vx, sy - p.y0 - t * vy) <= p.width / 2) {
                    ++inside;
                    break;
                }
            }
        }
    return inside / 256.0;
}

} // namespace

TSheet Draw(const TPaper& paper, const std::vector<TStroke>& strokes, const std::vector<TPiece>& pieces, int pieceInk)
{
    TSheet sheet;
    sheet.Width = paper.width;
    sheet.Height = paper.height;
    sheet.Grey.resize(static_cast<std::size_t>(paper.width) * paper.height);
    sheet.Rgb.resize(sheet.Grey.size() * 3);
    std::uint64_t state = paper.seed * 0x9E3779B97F4A7C15ULL + 1;
    const auto grain = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((state >> 33) % static_cast<std::uint64_t>(2 * paper.grain + 1)) - paper.grain;
    };
    // Cream paper and blue-black ink, each scaled to the grey levels asked for.
    const double paperRgb[3] = {paper.paper + 6.0, paper.paper + 1.0, paper.paper - 12.0};
    for (int y = 0; y < paper.height; ++y) {
        for (int x = 0; x < paper.width; ++x) {
            // Ink absorbs: where strokes overlap, the darker one decides.
            double ink = paper.paper;
            double inkRgb[3] = {paperRgb[0], paperRgb[1], paperRgb[2]};
            const std::vector<TStroke>* use = &strokes;
            std::vector<TStroke> all;
            if (!pieces.empty()) {
                // The pieces' union as one band across the pixel that covers it by that share.
                all = strokes;
                all.push_back({x + 0.5, y + 0.5, 0.0, PieceCoverage(pieces, x, y), pieceInk});
                use = &all;
            }
            for (const TStroke& s : *use) {
                const double f = Coverage(s, x + 0.5, y + 0.5);
                const double level = paper.paper + (s.ink - paper.paper) * f;
                if (level < ink) {
                    ink = level;
                    const double inkColour[3] = {s.ink - 8.0, s.ink - 6.0, s.ink + 40.0};
                    for (int c = 0; c < 3; ++c)
                        inkRgb[c] = paperRgb[c] + (inkColour[c] - paperRgb[c]) * f;
                }
            }
            const int g = grain();
            const std::size_t i = static_cast<std::size_t>(y) * paper.width + x;
            sheet.Grey[i] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(ink)) + g, 0, 255));
            for (int c = 0; c < 3; ++c)
                sheet.Rgb[3 * i + c] =
                    static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(inkRgb[c])) + g, 0, 255));
        }
    }
    return sheet;
}

TScan InForm(const TSheet& sheet, TForm form, int jpegQuality)
{
    switch (form) {
    case TForm::JpegColour:
        return DecodeJpeg(samples::EncodeJpeg(sheet.Width, sheet.Height, 3, sheet.Rgb, jpegQuality), false);
    case TForm::JpegGrey:
        return DecodeJpeg(samples::EncodeJpeg(sheet.Width, sheet.Height, 1, sheet.Grey, jpegQuality), true);
    default:
        break;
    }
    const int bytes = form == TForm::Bgrx32 ? 4 : form == TForm::Bgr24 || form == TForm::Rgb24 ? 3 : 1;
    const TPixelLayout layout = form == TForm::Grey8      ? TPixelLayout::Grey8
                                : form == TForm::Palette8 ? TPixelLayout::Palette8
                                : form == TForm::Bgr24    ? TPixelLayout::Bgr24
                                : form == TForm::Rgb24    ? TPixelLayout::Rgb24
                                                          : TPixelLayout::Bgrx32;
    TScan s = Empty(sheet, layout, bytes);
    // The palette holds every grey level, in an order unlike the levels themselves.
    std::array<std::uint8_t, 256> indexOf{};
    for (int i = 0; i < 256; ++i) {
        const int level = (i * 167 + 89) % 256;
        s.Palette[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(level);
        indexOf[static_cast<std::size_t>(level)] = static_cast<std::uint8_t>(i);
    }
    for (int y = 0; y < sheet.Height; ++y) {
        std::uint8_t* row = Row(s, y);
        for (int x = 0; x < sheet.Width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * sheet.Width + x;
            const std::uint8_t* rgb = &sheet.Rgb[3 * i];
            switch (form) {
            case TForm::Grey8:
                row[x] = sheet.Grey[i];
                break;
            case TForm::Palette8:
                row[x] = indexOf[sheet.Grey[i]];
                break;
            case TForm::Bgr24:
                row[3 * x] = rgb[2];
                row[3 * x + 1] = rgb[1];
                row[3 * x + 2] = rgb[0];
                break;
            case TForm::Rgb24:
                std::copy(rgb, rgb + 3, row + 3 * x);
                break;
            default:
                row[4 * x] = rgb[2];
                row[4 * x + 1] = rgb[1];
                row[4 * x + 2] = rgb[0];
                row[4 * x + 3] = 0xFF;
                break;
            }
        }
    }
    return s;
}

TScan AsMono(const TSheet& sheet, int level, bool lsbFirst)
{
    TScan s = Empty(sheet, lsbFirst ? TPixelLayout::MonoLsb : TPixelLayout::Mono, 1);
    s.BytesPerLine = AlignedRow((sheet.Width + 7) / 8);
    s.Bytes.assign(static_cast<std::size_t>(s.BytesPerLine) * sheet.Height, 0);
    // Index 1 is black here, as in many 1-bit scans: the palette, not the bit, says which is dark.
    s.Palette[0] = 255;
    s.Palette[1] = 0;
    for (int y = 0; y < sheet.Height; ++y) {
        std::uint8_t* row = Row(s, y);
        for (int x = 0; x < sheet.Width; ++x)
            if (sheet.Grey[static_cast<std::size_t>(y) * sheet.Width + x] < level)
                row[x >> 3] |= static_cast<std::uint8_t>(lsbFirst ? 1 << (x & 7) : 0x80 >> (x & 7));
    }
    return s;
}

} // namespace scan
