// What the fuzz harnesses found, kept as ordinary tests.
#include "FakeServices.h"
#include "FloatErrors.h"
#include "NumberText.h"
#include "ProfileTable.h"
#include "ProfileText.h"
#include "Unit2.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The 15-digit rounding of the largest doubles is 1.79769313486232E308, above the largest double,
// so their text reads back as an infinity; they are an overflow instead.
TEST(NumberTextRange, RoundingPastTheLargestDoubleIsAnOverflow)
{
    struct Row {
        const char* name;
        double value;
    };
    const Row overflowing[] = {
        {"largest double", DBL_MAX},
        {"its negative", -DBL_MAX},
        {"the one below", std::nextafter(DBL_MAX, 0.0)},
        {"the lowest that rounds up", 1.7976931348623151e308},
    };
    for (const Row& row : overflowing) {
        try {
            const std::string text = FloatToText(row.value);
            ADD_FAILURE() << row.name << " got the text " << text;
        } catch (const EOverflow& error) {
            EXPECT_STREQ(error.what(), "Gleitkommaüberlauf") << row.name;
        }
    }
    // The highest double that rounds down still has a text, and it reads back finite.
    const double below = std::nextafter(1.7976931348623151e308, 0.0);
    EXPECT_EQ(FloatToText(below), "1.79769313486231E308");
    EXPECT_EQ(FloatToText(-below), "-1.79769313486231E308");
    EXPECT_TRUE(std::isfinite(std::strtod(FloatToText(below).c_str(), nullptr)));
    EXPECT_EQ(FloatToText(1e308), "1E308");
}

// The fuzzer's input: one point whose flipped y is the largest negative double. The table is
// finite, but the file text cannot hold it.
TEST(NumberTextRange, ProfileTextOfATableAtTheRangeLimitRaisesOverflow)
{
    std::vector<TContourPoint> table;
    RecomputeProfileTable({{6.92446374224434e274, -2.0000000000000142, 0.0}}, -DBL_MAX, true, table);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].y, -DBL_MAX);
    EXPECT_THROW(ProfileText("T", table), EOverflow);
}

TEST(NumberTextRange, ReviewWindowShowsOverflowAndKeepsItsReadableText)
{
    FakeServices services;
    std::vector<TContourPoint> contour{{10, 20, 0}};
    TForm2 form;
    form.Link.Contour = &contour;
    form.Link.ViewImageHeight = [] { return 600; };
    form.Button1->click();
    const QString before = form.Memo1->toPlainText();
    ASSERT_EQ(before, QStringLiteral("Test-Zovori\n10 580"));

    contour = {{10, DBL_MAX, 0}};
    form.Button1->click();
    EXPECT_EQ(services.errors, QStringList{QStringLiteral("Gleitkommaüberlauf")});
    EXPECT_EQ(form.Memo1->toPlainText(), before) << "the text step ended before the memo changed";
    ASSERT_EQ(ProfileCoords.size(), 1u);
    EXPECT_EQ(ProfileCoords[0].y, -DBL_MAX) << "the table step had finished";
    ProfileCoords.clear();
}

} // namespace
