// The XFOIL file: the .dat text without the closing point after an open edge and without repeats.
#include "NacaOutline.h"
#include "ProfileTable.h"
#include "ProfileText.h"
#include "XfoilText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Table = std::vector<TContourPoint>;

TEST(XfoilText, ClosedEdgeWithoutRepeatsIsTheDatText)
{
    TNacaOutline naca;
    naca.lowerEdgeClicked = false;
    Table table;
    RecomputeProfileTable(naca.Clicked(), TNacaOutline::Height, true, table);
    ASSERT_FALSE(HasOpenTrailingEdge(table));
    EXPECT_EQ(XfoilProfileText("Test-Zovori", table), ProfileText("Test-Zovori", table));
    EXPECT_EQ(XfoilProfileText("Titel", {{1, 0}, {0.75, 0.05}, {0, 0}, {0.75, -0.04}, {1, 0}}),
              "Titel\n1 0\n0.75 0.05\n0 0\n0.75 -0.04\n1 0");
}

TEST(XfoilText, LeavesOutTheClosingPointOnlyAfterAnOpenEdgeAndWritesRepeatsOnce)
{
    const double ulp = std::nextafter(0.5, 1.0);
    struct Row {
        const char* name;
        Table table;
        const char* text;
    } rows[] = {
        {"OpenEdge", {{1, 0}, {0.5, 0.06}, {0, 0}, {0.5, -0.04}, {1, -0.0025}, {1, 0}},
         "T\n1 0\n0.5 0.06\n0 0\n0.5 -0.04\n1 -0.0025"},
        {"EdgeSteeperThan45Degrees", {{1, 0}, {0.5, 0.06}, {0, 0}, {0.5, -0.04}, {0.999, -0.0025}, {1, 0}},
         "T\n1 0\n0.5 0.06\n0 0\n0.5 -0.04\n0.999 -0.0025"},
        {"EdgeClickedInOneColumnStartsAtItsLowerClick", {{1, -0.0025}, {1, 0}, {0.5, 0.06}, {0, 0}, {0.5, -0.04}, {1, 0}},
         "T\n1 0\n0.5 0.06\n0 0\n0.5 -0.04\n1 -0.0025"},
        {"LastClickAheadOfTheEdge", {{1, 0}, {0.5, 0.06}, {0, 0}, {0.9, -0.01}, {1, 0}},
         "T\n1 0\n0.5 0.06\n0 0\n0.9 -0.01\n1 0"},
        {"LastClickOnTheEdge", {{1, 0}, {0.5, 0.06}, {0, 0}, {0.5, -0.04}, {1, 0}, {1, 0}},
         "T\n1 0\n0.5 0.06\n0 0\n0.5 -0.04\n1 0"},
        {"RepeatsInTheMiddle", {{1, 0}, {0.5, 0.06}, {0.5, 0.06}, {0.5, 0.06}, {0, 0}, {0.5, -0.04}, {1, 0}},
         "T\n1 0\n0.5 0.06\n0 0\n0.5 -0.04\n1 0"},
        {"RepeatOnlyInItsLastBits", {{1, 0}, {0.5, 0.06}, {ulp, 0.06}, {0, 0}, {0.5, -0.04}, {1, 0}},
         "T\n1 0\n0.5 0.06\n0 0\n0.5 -0.04\n1 0"},
        {"NegativeZeroIsZero", {{1, 0}, {1, -0.0}, {0.5, 0.06}, {0, 0}, {0.5, -0.04}, {1, 0}},
         "T\n1 0\n0.5 0.06\n0 0\n0.5 -0.04\n1 0"},
        {"ThreePointsHaveNoClosingPoint", {{1, 0}, {0, 0}, {0.5, -0.01}}, "T\n1 0\n0 0\n0.5 -0.01"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(XfoilProfileText("T", row.table), row.text);
    }
}

} // namespace
