// The memo text of the profile and the bytes of the .dat file.
#include "ProfileText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProfileText, TitleThenOneLinePerEntryWithPointAndOneBlank)
{
    EXPECT_EQ(ProfileText("Test-Zovori", {{1, 0}, {0.5, 0.06}, {0, 0}, {0.5, -0.04}, {1, 0}}),
              "Test-Zovori\n1 0\n0.5 0.06\n0 0\n0.5 -0.04\n1 0");
    EXPECT_EQ(ProfileText("", {{0.00009, -0.0}}), "\n9E-5 0");
    EXPECT_EQ(ProfileText("nur Titel", {}), "nur Titel");
}

TEST(DatFileBytes, EveryLineEndsInCrLfAndNothingFollows)
{
    EXPECT_EQ(DatFileBytes(U"T\n1 0\n0 0"), "T\r\n1 0\r\n0 0\r\n");
    EXPECT_EQ(DatFileBytes(U"\n1 0"), "\r\n1 0\r\n") << "empty title";
    EXPECT_EQ(DatFileBytes(U""), "\r\n") << "an empty memo is one empty line";
}

TEST(DatFileBytes, TitleInWindows1252)
{
    EXPECT_EQ(DatFileBytes(U"Flügel Maß"), "Fl\xFCgel Ma\xDF\r\n");
    EXPECT_EQ(DatFileBytes(U"5 € – „x“ Œ ÿ"), "5 \x80 \x96 \x84x\x93 \x8C \xFF\r\n");
    EXPECT_EQ(DatFileBytes(U"Ω 翼 🛩"), "? ? ?\r\n") << "outside the code page";
    EXPECT_EQ(DatFileBytes(U"\u0081\u0080"), "\x81?\r\n") << "unassigned position round-trips, C1 0x80 does not";
}

} // namespace
