// The profile check: NACA figures, the faults it warns of, and why it sometimes has nothing to say.
#include "NacaOutline.h"
#include "ProfileCheck.h"
#include "ProfileTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Table = std::vector<TContourPoint>;

struct TChecked {
    Table table;
    TProfileCheck check;
};

/// The outline through the recompute, as the review window checks it.
TChecked Recomputed(const Table& contour)
{
    TChecked result;
    const bool normalised = RecomputeProfileTable(contour, TNacaOutline::Height, true, result.table);
    result.check = CheckProfile(result.table, contour.size(), normalised ? TNormalisation::Done : TNormalisation::Failed);
    return result;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

Table Naca(std::function<void(TNacaOutline&)> change)
{
    TNacaOutline naca;
    change(naca);
    return naca.Clicked();
}

TEST(ProfileCheck, ExactNaca2412InItsOwnFrameHasItsNominalThicknessAndCamber)
{
    // Straight from the section's formulas: trailing edge (1, 0), nose (0, 0), closing point.
    const TNacaOutline naca;
    Table table;
    auto add = [&](int i, bool upper) {
        double x, y;
        naca.At(0.5 * (1 - std::cos(std::numbers::pi * i / naca.half)), upper, x, y);
        table.push_back({x, y, 0});
    };
    for (int i = naca.half; i >= 0; --i)
        add(i, true);
    for (int i = 1; i < naca.half; ++i)
        add(i, false);
    table.push_back({1, 0, 0});

    const TProfileCheck check = CheckProfile(table, table.size() - 1, TNormalisation::Done);
    EXPECT_NEAR(check.Thickness, 0.12, 0.0002);
    EXPECT_NEAR(check.ThicknessX, 0.30, 0.003);
    EXPECT_NEAR(check.Camber, 0.02, 0.0001);
    EXPECT_NEAR(check.CamberX, 0.40, 0.003) << "taken vertically the camber line peaks at 0.406";
    const std::string text = Joined(ProfileCheckLines(check, ","));
    EXPECT_NE(text.find("Größte Dicke: 12,0 % der Sehne bei x = 0,30\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Größte Wölbung: 2,0 % der Sehne bei x = 0,40\n"), std::string::npos) << text;
}

TEST(ProfileCheck, ClickedEitherWayRoundGivesTheSameFigures)
{
    const Table clicked = Naca([](TNacaOutline& n) { n.lowerEdgeClicked = false; });
    Table reversed = clicked;
    std::reverse(reversed.begin(), reversed.end());
    const TChecked forward = Recomputed(clicked), backward = Recomputed(reversed);
    // The normalised chord runs through the first clicked point of greatest x, not through the
    // section's own leading edge; thickness barely notices the turn, camber does.
    EXPECT_NEAR(forward.check.Thickness, 0.12, 0.0002);
    EXPECT_NEAR(forward.check.ThicknessX, 0.30, 0.003);
    for (const TChecked* c : {&forward, &backward}) {
        EXPECT_TRUE(c->check.RoundTheNose);
        EXPECT_FALSE(c->check.OpenTrailingEdge);
        EXPECT_FALSE(c->check.SelfCrossing);
        EXPECT_EQ(c->check.Duplicates, 0);
        EXPECT_TRUE(c->check.SharpTurnLines.empty());
    }
    EXPECT_NEAR(backward.check.Thickness, forward.check.Thickness, 1e-9);
    EXPECT_NEAR(backward.check.Camber, forward.check.Camber, 1e-9);
    EXPECT_EQ(backward.check.SharpestTurnLine, forward.check.SharpestTurnLine);
    EXPECT_EQ(ProfileCheckLines(backward.check, "."), ProfileCheckLines(forward.check, "."));
}

TEST(ProfileCheck, CamberOfXfoilsFourDigitSectionsClickedEitherWay)
{
    // The reference: the same measure on a fine outline straight from the formulas, in the
    // section's own frame. Where the camber line is highest its chord stands vertical, so there
    // it must meet the section's own camber line. XFOIL bunches 123 points a side.
    for (const int m : {0, 1, 2, 4, 6, 9}) {
        for (const int p : {1, 2, 3, 4, 6, 9}) {
            for (int t = 6; t <= 24; t += 3) {
                const TXfoilNaca naca{m, p, t};
                SCOPED_TRACE(std::to_string(m) + std::to_string(p) + std::to_string(t));
                Table fine = naca.Outline(2001);
                fine.push_back({1, 0, 0});
                const TProfileCheck reference = CheckProfile(fine, fine.size() - 1, TNormalisation::Done);
                EXPECT_NEAR(reference.Camber, naca.Camber(reference.CamberX), 0.0005);
                Table clicked;
                for (const TContourPoint& point : naca.Outline(123))
                    clicked.push_back({150 + 1000 * point.x, TNacaOutline::Height / 2 - 1000 * point.y, 0});
                for (const bool upperFirst : {true, false}) {
                    if (!upperFirst)
                        std::reverse(clicked.begin(), clicked.end());
                    const TChecked r = Recomputed(clicked);
                    EXPECT_NEAR(r.check.Camber, reference.Camber, 0.0005) << upperFirst;
                    // Without camber the place of its greatest value is noise.
                    if (m > 0) {
                        EXPECT_NEAR(r.check.CamberX, reference.CamberX, 0.02) << upperFirst;
                    }
                }
            }
            if (m == 0)
                break;
        }
    }
}

struct FaultCase {
    const char* name;
    std::function<Table()> contour;
    bool roundTheNose;
    bool open;
    int duplicates;
    bool sharpTurns;
    bool crossing;
    const char* warning; ///< a piece of the text that must appear
};

/// The clicks up to the nose (the upper side alone), then `extra` clicks of the lower side.
Table UpperSideAnd(int extra)
{
    const TNacaOutline naca;
    Table all = naca.Clicked();
    all.resize(static_cast<std::size_t>(naca.half + 1 + extra));
    return all;
}

const FaultCase faultCases[] = {
    {"ClosedEdgeClickedOnce", [] { return Naca([](TNacaOutline& n) { n.lowerEdgeClicked = false; }); }, true, false, 0,
     false, false, "Hinterkante: geschlossen"},
    {"ClosedEdgeClickedTwice", [] { return Naca([](TNacaOutline&) {}); }, true, false, 1, false, false,
     "1 Punkt wiederholt den vorigen (zuerst Zeile 3)"},
    {"OpenEdge", [] { return Naca([](TNacaOutline& n) { n.closedEdgeCoefficient = false; }); }, true, true, 0, false,
     false, "schließt die offene Hinterkante mit „1 0“"},
    {"UpperSideOnly", [] { return UpperSideAnd(0); }, false, false, 0, true, false, "nicht um die Nase herum"},
    {"StrayClicksRoundTheNose", [] { return UpperSideAnd(20); }, false, false, 0, false, false,
     "Warnung: Die Unterseite endet bei x = 0,10; von dort bis zur Hinterkante ist der Umriss eine Gerade."},
    {"LowerSideToFortyPercent", [] { return UpperSideAnd(44); }, false, false, 0, false, false,
     "Die Unterseite endet bei x = 0,41;"},
    {"LowerSideOnly",
     [] {
         Table lower = TNacaOutline{}.Clicked();
         lower.erase(lower.begin(), lower.begin() + TNacaOutline{}.half);
         return lower;
     },
     false, false, 0, true, false, "nicht um die Nase"},
    {"CoarseNose", [] { return Naca([](TNacaOutline& n) { n.half = 6; }); }, true, false, 1, true, false,
     "Ein Knick über 40° (Zeile 9) verdirbt"},
    {"DoubleClickOnTheUpperSide",
     [] {
         Table t = Naca([](TNacaOutline& n) { n.lowerEdgeClicked = false; });
         t.insert(t.begin() + 30, t[30]);
         return t;
     },
     true, false, 1, false, false, "(zuerst Zeile 33)"},
    {"LowerSidePulledAcrossTheUpper",
     [] {
         Table t = Naca([](TNacaOutline& n) { n.lowerEdgeClicked = false; });
         // Lower side around x = 0.7 dragged above the upper side (y downward in pixels).
         for (std::size_t i = 170; i < 180; ++i)
             t[i].y -= 120;
         return t;
     },
     true, false, 0, true, true, "kreuzt sich selbst"},
};

class ProfileCheckFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ProfileCheckFaults, AreFoundAndNamed)
{
    const FaultCase& c = GetParam();
    const TChecked r = Recomputed(c.contour());
    ASSERT_EQ(r.check.State, TCheckState::Checked);
    EXPECT_EQ(r.check.RoundTheNose, c.roundTheNose);
    EXPECT_EQ(r.check.OpenTrailingEdge, c.open);
    EXPECT_EQ(r.check.Duplicates, c.duplicates);
    EXPECT_EQ(!r.check.SharpTurnLines.empty(), c.sharpTurns);
    EXPECT_EQ(r.check.SelfCrossing, c.crossing);
    const std::string text = Joined(ProfileCheckLines(r.check, ","));
    EXPECT_NE(text.find(c.warning), std::string::npos) << text;
    EXPECT_EQ(text.find("Größte Dicke") != std::string::npos, c.roundTheNose) << text;
}

INSTANTIATE_TEST_SUITE_P(Outlines, ProfileCheckFaults, ::testing::ValuesIn(faultCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileCheck, OpenEdgeGivesItsGapAndTheSharpestTurnItsLine)
{
    const TChecked r = Recomputed(Naca([](TNacaOutline& n) { n.closedEdgeCoefficient = false; }));
    // The classic coefficient leaves 2 x 0.6 x 0.0021 = 0.252 % open at the trailing edge.
    EXPECT_NEAR(r.check.TrailingEdgeGap, 0.00252, 0.00002);
    const std::vector<std::string> lines = ProfileCheckLines(r.check, ",");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Hinterkante: offen, Spalt 0,25 % der Sehne"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Punkte: 201 und der Schlusspunkt 1 0"), lines.end());
    EXPECT_GT(r.check.SharpestTurn, 0.0);
    EXPECT_LT(r.check.SharpestTurn, SharpTurnLimit);
    ASSERT_GE(r.check.SharpestTurnLine, 2);
    EXPECT_LT(r.check.SharpestTurnLine, 2 + 201) << "an inner clicked point, never the closing point";
}

TEST(ProfileCheck, SaysWhyThereIsNothingToCheck)
{
    const Table four = {{500, 300}, {400, 280}, {100, 300}, {400, 316}};
    const Table vertical = {{100, 10}, {100, 20}, {100, 30}, {100, 40}};
    struct Row {
        const char* name;
        Table contour;
        bool normalise;
        const char* text;
    } rows[] = {
        {"Empty", {}, true, "Keine Punkte: nichts zu prüfen."},
        {"OnePoint", {{1, 2}}, true, "Nur 1 Punkt: Erst ab 4 Punkten wird das Profil geschlossen und geprüft."},
        {"ThreePoints", {{1, 2}, {5, 6}, {9, 1}}, true, "Nur 3 Punkte: Erst ab 4 Punkten wird das Profil geschlossen und geprüft."},
        {"NotNormalised", four, false, "Nicht normiert: nichts zu prüfen."},
        {"AllOnOneVertical", vertical, true, "Normieren unmöglich (alle Punkte auf einer Senkrechten): nichts zu prüfen."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Table table;
        const bool normalised = RecomputeProfileTable(row.contour, 600, row.normalise, table);
        const TNormalisation how =
            !row.normalise ? TNormalisation::Off : normalised ? TNormalisation::Done : TNormalisation::Failed;
        EXPECT_EQ(ProfileCheckLines(CheckProfile(table, row.contour.size(), how), ","),
                  std::vector<std::string>{row.text});
    }
}

TEST(ProfileCheck, SymmetricSectionHasNoCamber)
{
    const TChecked r = Recomputed(Naca([](TNacaOutline& n) { n.camber = 0.0; }));
    EXPECT_NEAR(r.check.Camber, 0.0, 0.0001);
    const std::vector<std::string> lines = ProfileCheckLines(r.check, ",");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Größte Wölbung: keine"), lines.end());
}

TEST(ProfileCheck, HugeFiguresAreWrittenOutInFull)
{
    // A normalised outline can still be absurdly thick; its figure must not overrun a buffer.
    const Table table = {{1, 0}, {0.5, 1e300}, {0.25, 0.5e300}, {0, 0}, {0.25, -0.5e300}, {0.5, -1e300}, {1, 0}};
    const std::vector<std::string> lines = ProfileCheckLines(CheckProfile(table, 6, TNormalisation::Done), ",");
    ASSERT_GE(lines.size(), 2u);
    const std::string& thickness = lines[1];
    ASSERT_EQ(thickness.rfind("Größte Dicke: ", 0), 0u) << thickness;
    const std::string figure = thickness.substr(std::string("Größte Dicke: ").size());
    EXPECT_GT(figure.find(','), 300u) << figure;
    EXPECT_EQ(figure.find_first_not_of("0123456789"), figure.find(',')) << figure;
}

TEST(FirstSelfCrossing, FindsTheFirstPairOfSegmentsThatMeetWithoutBeingNeighbours)
{
    struct Row {
        const char* name;
        Table ring;
        std::pair<int, int> expected;
    } rows[] = {
        {"Triangle", {{0, 0}, {1, 0}, {0, 1}}, {-1, -1}},
        {"Square", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {-1, -1}},
        {"BowTie", {{0, 0}, {1, 1}, {1, 0}, {0, 1}}, {0, 2}},
        {"VertexOnAnotherSegment", {{0, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}}, {0, 2}},
        {"ConcaveWithoutCrossing", {{0, 0}, {2, 0}, {2, 2}, {1, 0.5}, {0, 2}}, {-1, -1}},
        {"LoopInTheMiddle", {{0, 0}, {4, 0}, {4, 1}, {2, 1}, {2, -1}, {3, -1}, {3, 2}, {0, 2}}, {0, 3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FirstSelfCrossing(row.ring), row.expected);
    }
}

TEST(SweptSelfCrossing, FindsACrossingExactlyWhereTestingEveryPairDoes)
{
    // Small grids make the sweep's hard cases: shared points, overlaps, vertical segments.
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        const int m = 4 + static_cast<int>(random() % 9), span = 2 + static_cast<int>(random() % 5);
        Table ring;
        for (int i = 0; i < m; ++i)
            ring.push_back({static_cast<double>(random() % span), static_cast<double>(random() % span) * 0.5, 0});
        bool meet = false;
        for (int i = 0; i < m; ++i)
            for (int j = i + 2; j < m && !(i == 0 && j == m - 1); ++j)
                meet = meet || SegmentsMeet(ring[i], ring[(i + 1) % m], ring[j], ring[(j + 1) % m]);
        ASSERT_EQ(SweptSelfCrossing(ring).first >= 0, meet) << round;
    }
}

TEST(SelfCrossingMemory, AfterEachDragAnswersAsATestOfTheWholeRing)
{
    // Drags of one or two points on a small grid: touches, overlaps, crossings made and undone.
    std::mt19937 random(11);
    for (int walk = 0; walk < 200; ++walk) {
        const int m = 4 + static_cast<int>(random() % 12);
        Table ring;
        for (int i = 0; i < m; ++i)
            ring.push_back({std::cos(6.283185307179586 * i / m) * 4, std::sin(6.283185307179586 * i / m) * 4, 0});
        TSelfCrossingMemory memory;
        for (int step = 0; step < 50; ++step) {
            for (int moved = 1 + static_cast<int>(random() % 2); moved > 0; --moved)
                ring[random() % m] = {static_cast<double>(random() % 9) - 4, static_cast<double>(random() % 9) - 4, 0};
            ASSERT_EQ(memory.First(ring), FirstSelfCrossing(ring)) << walk << " " << step;
        }
    }
}

TEST(CrossesItself, TellsWhatTestingEveryPairTellsForTwoChainsAlongX)
{
    // Two chains running one way in x from a shared nose, on a coarse grid so that they often touch
    // or cross, the closing segment often across them.
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        const int m = 4 + static_cast<int>(random() % 9), k = 1 + static_cast<int>(random() % (m - 2));
        Table ring(static_cast<std::size_t>(m));
        for (int i = 0; i < m; ++i) {
            const int steps = i < k ? k - i : i - k;
            ring[i] = {steps + (i < k ? 0.0 : 0.5 * (random() % 2)) + 0.25 * (random() % 2), 0.5 * (static_cast<int>(random() % 7) - 3), 0};
        }
        ring[k].y = 0;
        bool meet = false;
        for (int i = 0; i < m; ++i)
            for (int j = i + 2; j < m && !(i == 0 && j == m - 1); ++j)
                meet = meet || SegmentsMeet(ring[i], ring[(i + 1) % m], ring[j], ring[(j + 1) % m]);
        ASSERT_EQ(CrossesItself(ring), meet) << round;
    }
}

TEST(FirstSelfCrossing, AZigzagPackedBesideFarPointsIsDecidedByTheSweep)
{
    // All of the zigzag in one cell of the grid: it gives up, the sweep answers.
    for (const bool crossed : {false, true}) {
        Table ring;
        for (int i = 0; i < 3000; ++i)
            ring.push_back({0.5 * i / 3000, 3.0 * (i % 2), 0});
        ring.push_back({1000, crossed ? 1.5 : 1500, 0});
        ring.push_back({crossed ? -1000.0 : 1000.0, crossed ? 1.5 : -1500.0, 0});
        const auto [i, j] = FirstSelfCrossing(ring);
        ASSERT_EQ(i >= 0, crossed);
        if (crossed) {
            const int m = static_cast<int>(ring.size());
            EXPECT_GT(j, i + 1);
            EXPECT_TRUE(SegmentsMeet(ring[i], ring[i + 1], ring[j], ring[(j + 1) % m]));
        }
    }
}

} // namespace
