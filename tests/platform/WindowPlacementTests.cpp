// Where a window goes on its screen's available area.
#include "WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(CentredOuterRect, CentresExactlyAndShrinksToWhatTheAreaHolds)
{
    struct Row {
        const char* name;
        QRect area;
        QSize outer;
        QRect expected;
    };
    const Row rows[] = {
        {"fits, even margins", {0, 0, 1600, 1200}, {1190, 876}, {205, 162, 1190, 876}},
        {"odd margins leave the extra pixel right and below", {0, 0, 1601, 1201}, {1190, 876}, {205, 162, 1190, 876}},
        {"work area below a panel", {0, 30, 1600, 1170}, {1190, 876}, {205, 177, 1190, 876}},
        {"second screen to the right", {1920, 0, 1280, 1024}, {1190, 876}, {1965, 74, 1190, 876}},
        {"too low: full height", {0, 0, 1280, 800}, {1190, 876}, {45, 0, 1190, 800}},
        {"too narrow: full width", {0, 0, 1024, 900}, {1190, 876}, {0, 12, 1024, 876}},
        {"too small both ways", {10, 20, 640, 480}, {1190, 876}, {10, 20, 640, 480}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::CentredOuterRect(row.area, row.outer), row.expected) << row.name;
}

} // namespace
