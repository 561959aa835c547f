// The title is one line of the file, whatever reaches the title box: pasted text keeps what comes
// before its first line break, and the file text cuts any title there as well.
#include "FakeServices.h"
#include "ProfileText.h"
#include "Unit2.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Break {
    const char* name;
    const char* utf8;
    char16_t utf16;
};
const Break Breaks[] = {
    {"LF", "\n", u'\n'},          {"CR", "\r", u'\r'},          {"VT", "\v", u'\v'},
    {"FF", "\f", u'\f'},          {"NEL", "\xC2\x85", u'\x85'}, {"line separator", "\xE2\x80\xA8", u'\x2028'},
    {"paragraph separator", "\xE2\x80\xA9", u'\x2029'},
};

TEST(TitleLine, EndsAtTheFirstBreakOfEveryKind)
{
    for (const Break& b : Breaks) {
        EXPECT_EQ(TitleLine(std::string("NACA 2412") + b.utf8 + "zweite"), "NACA 2412") << b.name;
        EXPECT_EQ(TitleLine(std::string(b.utf8) + "NACA"), "") << b.name << " first";
    }
    EXPECT_EQ(TitleLine("NACA\r\n"), "NACA");
    struct Row {
        const char* name;
        const char* title;
    };
    // Characters whose UTF-8 shares bytes with a break's, and a tab, are part of the line.
    const Row kept[] = {
        {"a with ogonek (C4 85)", "\xC4\x85"},   {"one dot leader (E2 80 A4)", "\xE2\x80\xA4"},
        {"U+2027 (E2 80 A7)", "\xE2\x80\xA7"}, {"U+202A (E2 80 AA)", "\xE2\x80\xAA"},
        {"tab", "a\tb"},                         {"cut before the last byte", "\xE2\x80"},
    };
    for (const Row& row : kept)
        EXPECT_EQ(TitleLine(row.title), row.title) << row.name;
}

TEST(TitleLine, NoTitleAddsALineToTheFileText)
{
    const std::vector<TContourPoint> table{{1, 0, 0}, {0, 0, 0}, {1, 0, 0}};
    for (const Break& b : Breaks) {
        const std::string text = ProfileText(std::string("Profil") + b.utf8 + "\r\n" + b.utf8, table);
        EXPECT_EQ(text, "Profil\n1 0\n0 0\n1 0") << b.name;
    }
    // The text document behind the memo makes a line of each frame mark.
    EXPECT_EQ(ProfileText("a\xEF\xB7\x90" "b\xEF\xB7\x91\xEF\xB7\x92", table), "a?b?\xEF\xB7\x92\n1 0\n0 0\n1 0");
}

TEST(TitleLine, NoControlCharacterReachesTheFile)
{
    using namespace std::string_literals;
    const std::vector<TContourPoint> table{{1, 0, 0}, {0, 0, 0}, {1, 0, 0}};
    const struct Row {
        const char* name;
        std::string title;
        std::string line;
    } rows[] = {
        {"C0 and DEL", "A\x01\x07\x1b\x7f" "B", "AB"},
        {"tab", "A\tB", "A B"},
        {"NUL ends it", "A\0B"s, "A"},
        {"C1", "A\xC2\x81" "B\xC2", "AB\xC2"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ProfileText(row.title, table), row.line + "\n1 0\n0 0\n1 0") << row.name;
}

TEST(SingleLineEdit, KeepsTheInsertedTextUpToItsFirstBreak)
{
    struct Row {
        const char* name;
        std::u16string before;
        std::u16string after;
        std::size_t cursor;
        std::u16string text;
        std::size_t keptCursor;
    };
    const Row rows[] = {
        {"typed character", u"NAC", u"NACA", 4, u"NACA", 4},
        {"paste at the end", u"", u"NACA 2412\r\n", 11, u"NACA 2412", 9},
        {"paste in the middle", u"Test-Zovori", u"TestAB\nCD-Zovori", 9, u"TestAB-Zovori", 6},
        {"paste over a selection", u"Test-Zovori", u"TeX\u2029Y", 5, u"TeX", 3},
        {"paste starting with a break", u"ab", u"a\r\nxyb", 5, u"ab", 1},
        {"paste that starts like the old text's end", u"abc", u"abc\nzc", 5, u"abcc", 3},
        {"deletion", u"abcd", u"abd", 2, u"abd", 2},
        {"old text set with a break by the program", u"a\nb", u"a\nbc", 4, u"a", 1},
        {"cursor beyond the text", u"a", u"ab", 9, u"ab", 2},
        {"paste with control characters and a NUL", u"x", std::u16string(u"A\x01\x1b\tB\0Cx", 8), 7, u"A Bx", 3},
    };
    for (const Row& row : rows) {
        const TSingleLineText kept = SingleLineEdit(row.before, row.after, row.cursor);
        EXPECT_TRUE(kept.text == row.text) << row.name;
        EXPECT_EQ(kept.cursor, row.keptCursor) << row.name;
    }
}

class TitleBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProfileCoords.clear();
        form.Link.Contour = &contour;
        form.Link.ViewImageHeight = [] { return 600; };
        form.Button1->click();
    }
    void TearDown() override { ProfileCoords.clear(); }

    FakeServices services;
    std::vector<TContourPoint> contour{{500, 300, 0}, {400, 280, 0}, {100, 300, 0}, {400, 316, 0}};
    TForm2 form;
};

// Pasting through the clipboard, as Ctrl+V and the context menu do, into the real title box.
TEST_F(TitleBox, PastedTextKeepsWhatComesBeforeItsFirstBreak)
{
    struct Row {
        const char* name;
        int cursor; ///< -1: the whole text selected
        QString clipboard;
        QString title;
    };
    const Row rows[] = {
        {"NACA 2412 copied with its line end", -1, QStringLiteral("NACA 2412\r\n"), QStringLiteral("NACA 2412")},
        {"two lines into the middle", 5, QStringLiteral("AB\nCD"), QStringLiteral("Test-ABZovori")},
        {"a paragraph separator at the end", 11, QStringLiteral(" 1\u2029 2"), QStringLiteral("Test-Zovori 1")},
        {"control characters and a NUL", -1, QString::fromUtf16(u"A\x01\x07\x1b\x7f\tB\0C", 9), QStringLiteral("A B")},
    };
    for (const Row& row : rows) {
        form.Edit2->setText(QStringLiteral("Test-Zovori"));
        if (row.cursor < 0)
            form.Edit2->selectAll();
        else
            form.Edit2->setCursorPosition(row.cursor);
        QApplication::clipboard()->setText(row.clipboard);
        form.Edit2->paste();
        EXPECT_EQ(form.Edit2->text().toStdString(), row.title.toStdString()) << row.name;
        EXPECT_EQ(form.Memo1->toPlainText().section(QLatin1Char('\n'), 0, 0).toStdString(), row.title.toStdString())
            << row.name;
        EXPECT_EQ(form.Memo1->toPlainText().count(QLatin1Char('\n')), 5) << row.name;
    }
}

// A title set by the program with line breaks still gives a file of one title line.
TEST_F(TitleBox, SavedFileHasOneTitleLineWhateverTheBoxHolds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    form.Edit2->setText(QStringLiteral("NACA 2412\r\nzweite\u2028dritte"));
    services.saveAnswer = dir.filePath(QStringLiteral("profil.dat"));
    form.Button2->click();
    QFile file(*services.saveAnswer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("NACA 2412\r\n1 0\r\n0.75 0.05\r\n0 0\r\n0.75 -0.04\r\n1 0\r\n"));
}

} // namespace
