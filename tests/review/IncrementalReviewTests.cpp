// After every change of the contour or the title the review window shows what a window that
// computed everything afresh shows, though it rewrites only the lines and pixels that changed.
#include "FakeServices.h"
#include "Unit2.h"

#include "Chart.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Shown {
    QString text;
    int cursor = 0;
    int scroll = 0;
    bool undo = false;
    std::vector<double> xs, ys;
    QImage plot;
    QString check;
    int checkCursor = 0;
    int checkScroll = 0;
};

class IncrementalReview : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 200; ++i) {
            const double a = 6.283185307179586 * (i + 0.5) / 200;
            const double x = 0.5 + 0.5 * std::cos(a);
            const double t = 60.0 * (0.2969 * std::sqrt(x) - 0.126 * x - 0.3516 * x * x + 0.2843 * x * x * x);
            contour.push_back({100.0 + 800.0 * x, 300.0 - (a < 3.141592653589793 ? t : -t), 0.0});
        }
        live = Window();
    }

    std::unique_ptr<TForm2> Window()
    {
        auto form = std::make_unique<TForm2>();
        form->FormCreate();
        form->Link.Contour = &contour;
        form->Link.ProfileSaved = &saved;
        form->Link.ViewImageHeight = [] { return 600; };
        form->Edit2->setText(title);
        form->Button1->click();
        form->show();
        QApplication::processEvents();
        return form;
    }

    static Shown What(TForm2& form)
    {
        form.Chart1->repaint();
        return {form.Memo1->toPlainText(), form.Memo1->textCursor().position(), form.Memo1->verticalScrollBar()->value(),
                form.Memo1->document()->isUndoAvailable(), form.Series1->XValues().Stored(),
                form.Series1->YValues().Stored(), form.Chart1->Bitmap(), form.Memo2->toPlainText(),
                form.Memo2->textCursor().position(), form.Memo2->verticalScrollBar()->value()};
    }

    FakeServices services;
    std::vector<TContourPoint> contour;
    QString title = QStringLiteral("Test-Zovori");
    bool saved = false;
    std::unique_ptr<TForm2> live;
};

TEST_F(IncrementalReview, EveryChangeShowsWhatAFreshRecomputeShows)
{
    struct Row {
        const char* name;
        std::function<void()> change;
    };
    const Row rows[] = {
        {"nothing changed", [] {}},
        {"a point of the upper side moved", [this] { contour[50].y -= 3.0; }},
        {"the same point moved back", [this] { contour[50].y += 3.0; }},
        {"two points moved apart", [this] { contour[20].x += 2.0, contour[160].y += 1.5; }},
        {"the nose moved: every line changes", [this] { contour[100].x -= 4.0; }},
        {"the trailing edge moved", [this] { contour[0].x += 5.0; }},
        {"a point moved onto its neighbour", [this] { contour[70] = contour[71]; }},
        {"a point dragged through the lower side: the outline crosses itself", [this] { contour[36].y += 10.7; }},
        {"dragged back", [this] { contour[36].y -= 10.7; }},
        {"a point appended", [this] { contour.push_back({880.0, 303.0, 0.0}); }},
        {"a point deleted", [this] { contour.erase(contour.begin() + 30); }},
        {"a point inserted between two", [this] { contour.insert(contour.begin() + 30, contour[30]), contour[30].x += 4.0; }},
        {"the plot zoomed in, then a point moved", [this] {
             live->Chart1->ZoomByPercent(105.0);
             live->Chart1->repaint();
             contour[40].y -= 1.0;
         }},
        {"the text edited by hand, then a point moved", [this] {
             live->Memo1->textCursor().insertText(QStringLiteral("von Hand"));
             contour[60].y += 1.0;
         }},
        {"the title changed", [this] { title = QStringLiteral("Neuer Titel"); }},
    };
    for (const Row& row : rows) {
        // Where the user left the text before the change.
        live->Memo1->moveCursor(QTextCursor::End);
        live->Memo1->verticalScrollBar()->setValue(live->Memo1->verticalScrollBar()->maximum() / 2);
        row.change();
        if (live->Edit2->text() != title) {
            live->Edit2->setText(title);
        } else {
            // Where the user left the check (a new title is no reason to check again).
            live->Memo2->moveCursor(QTextCursor::End);
            live->Memo2->verticalScrollBar()->setValue(live->Memo2->verticalScrollBar()->maximum());
            live->Button1->click();
        }
        const Shown got = What(*live);
        const auto fresh = Window();
        const Shown want = What(*fresh);
        EXPECT_EQ(got.text, want.text) << row.name;
        EXPECT_EQ(got.cursor, want.cursor) << row.name;
        EXPECT_EQ(got.scroll, want.scroll) << row.name;
        EXPECT_EQ(got.undo, want.undo) << row.name;
        EXPECT_EQ(got.xs, want.xs) << row.name;
        EXPECT_EQ(got.ys, want.ys) << row.name;
        EXPECT_TRUE(got.plot == want.plot) << row.name << ": the plot's pixels";
        EXPECT_EQ(got.check, want.check) << row.name;
        EXPECT_EQ(got.checkCursor, want.checkCursor) << row.name;
        EXPECT_EQ(got.checkScroll, want.checkScroll) << row.name;
    }
}

} // namespace
