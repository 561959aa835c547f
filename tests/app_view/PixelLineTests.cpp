// The painter-free line against Canvas's own MoveTo/LineTo, pixel for pixel.
#include "Canvas.h"
#include "PixelLine.h"

#include <QImage>

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int W = 64;
constexpr int H = 48;
constexpr std::uint32_t Red = 0xFFFF0000u;

QImage ByCanvas(int x1, int y1, int x2, int y2)
{
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(Qt::white);
    Canvas canvas(&image);
    canvas.SetPenColor(clRed);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
    return image;
}

QImage ByPixelLine(int x1, int y1, int x2, int y2)
{
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(Qt::white);
    const TPixelSurface surface{reinterpret_cast<std::uint32_t*>(image.bits()), W, H, image.bytesPerLine() / 4};
    DrawPixelLine(surface, x1, y1, x2, y2, Red);
    return image;
}

/// The first pixel where the two differ, or "" when none does.
std::string Difference(const QImage& a, const QImage& b)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return {};
}

TEST(PixelLine, PaintsWhatCanvasPaints)
{
    struct Row {
        const char* name;
        int x1, y1, x2, y2;
    };
    const Row rows[] = {
        {"right", 5, 10, 40, 10},
        {"left", 40, 10, 5, 10},
        {"down", 7, 3, 7, 40},
        {"up", 7, 40, 7, 3},
        {"shallow right down", 2, 5, 50, 17},
        {"shallow left up", 50, 17, 2, 5},
        {"shallow right up", 2, 30, 55, 11},
        {"shallow left down", 55, 11, 2, 30},
        {"steep down right", 10, 1, 22, 45},
        {"steep up left", 22, 45, 10, 1},
        {"steep down left", 30, 2, 19, 46},
        {"steep up right", 19, 46, 30, 2},
        {"diagonal down right", 3, 3, 40, 40},
        {"diagonal up left", 40, 40, 3, 3},
        {"diagonal up right", 3, 40, 40, 3},
        {"diagonal down left", 40, 3, 3, 40},
        {"one pixel right", 9, 9, 10, 9},
        {"one pixel left", 10, 9, 9, 9},
        {"one pixel up", 9, 10, 9, 9},
        {"knight's move back", 12, 12, 10, 11},
        {"from outside the left edge", -30, 20, 30, 25},
        {"to beyond the right edge", 30, 25, 100, 40},
        {"leftward across the left edge", 30, 25, -100, 9},
        {"across the whole device, steep", 20, -200, 40, 300},
        {"across the whole device, upward", 41, 250, 23, -180},
        {"along the top row", -10, 0, 80, 0},
        {"along the last column upward", W - 1, 60, W - 1, -5},
        {"just outside the bottom", 0, H, 60, H},
        {"just outside the right", W, 0, W, 47},
        {"far away crossing the device", -16000000, -9000000, 16000000, 9000300},
        {"far away, never near", -16000000, 9000000, 16000000, 9000300},
        {"ends on the corner beyond", 10, 10, W + 1, H + 1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Difference(ByPixelLine(row.x1, row.y1, row.x2, row.y2), ByCanvas(row.x1, row.y1, row.x2, row.y2)), "")
            << row.name;
}

// Every slope and length near the device, both directions, ends inside and outside it.
TEST(PixelLine, PaintsWhatCanvasPaintsForRandomLines)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> near(-40, 110);
    std::uniform_int_distribution<int> delta(-9, 9);
    int differing = 0;
    std::string first;
    for (int i = 0; i < 8000; ++i) {
        const int x1 = near(random), y1 = near(random);
        // Half long lines, half short ones as a dense contour gives them.
        const int x2 = i % 2 ? near(random) : x1 + delta(random);
        const int y2 = i % 2 ? near(random) : y1 + delta(random);
        const std::string d = Difference(ByPixelLine(x1, y1, x2, y2), ByCanvas(x1, y1, x2, y2));
        if (!d.empty() && differing++ == 0)
            first = "(" + std::to_string(x1) + ", " + std::to_string(y1) + ") to (" + std::to_string(x2) + ", " +
                    std::to_string(y2) + "): " + d;
    }
    EXPECT_EQ(differing, 0) << "first: " << first;
}

} // namespace
