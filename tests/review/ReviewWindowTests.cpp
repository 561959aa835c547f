// The review window's form, its recompute and the title box.
#include "FakeServices.h"
#include "Unit2.h"

#include "Chart.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class ReviewWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProfileCoords.clear();
        form = std::make_unique<TForm2>();
        form->FormCreate();
        form->Link.Contour = &contour;
        form->Link.ProfileSaved = &saved;
        form->Link.ViewImageHeight = [this] { return height; };
    }

    QStringList MemoLines() const { return form->Memo1->toPlainText().split(QLatin1Char('\n')); }

    FakeServices services;
    std::vector<TContourPoint> contour;
    bool saved = false;
    int height = 600;
    std::unique_ptr<TForm2> form;
};

TEST_F(ReviewWindow, FormHasItsFrameSizeColourAndFont)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Weiterbearbeitung zur Profildatei"));
    EXPECT_EQ(form->size(), QSize(1096, 663));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "not resizable";
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(form->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(form->font().pointSize(), 8);
    EXPECT_FALSE(form->isVisible());
}

struct Placement {
    const char* name;
    QWidget* widget;
    QRect geometry;
    bool hidden;
};

TEST_F(ReviewWindow, ComponentsSitAtTheirPlacesWithCaptions)
{
    form->show();
    const std::vector<Placement> places{
        {"Memo1", form->Memo1, {8, 8, 305, 537}, false},      {"Button1", form->Button1, {216, 560, 89, 25}, true},
        {"Chart1", form->Chart1, {320, 8, 770, 513}, false}, {"Edit1", form->Edit1, {320, 528, 457, 21}, false},
        {"Edit2", form->Edit2, {8, 568, 193, 21}, false},
        {"Button2", form->Button2, {8, 600, 193, 25}, false},  {"CheckBox2", form->CheckBox2, {312, 560, 145, 17}, true},
    };
    for (const Placement& p : places) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.widget->geometry(), p.geometry);
        EXPECT_EQ(p.widget->isVisible(), !p.hidden);
    }
    // The label sits at its place and grows to show its whole caption in the substitute font.
    EXPECT_EQ(form->Label1->pos(), QPoint(8, 552));
    EXPECT_EQ(form->Label1->height(), 13);
    EXPECT_GE(form->Label1->width(), 83);
    EXPECT_GE(form->Label1->width(), form->Label1->sizeHint().width());
    EXPECT_TRUE(form->Label1->isVisible());
    EXPECT_EQ(form->Button1->text(), QStringLiteral("neu berechnen"));
    EXPECT_EQ(form->Button2->text(), QStringLiteral("Speichern unter"));
    EXPECT_EQ(form->CheckBox2->text(), QStringLiteral("Ausrichten , Normieren "));
    EXPECT_TRUE(form->CheckBox2->isChecked());
    EXPECT_EQ(form->Label1->text(), QStringLiteral("Überschrit 1 Zeile"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("Test-Zovori"));
    EXPECT_EQ(form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form->Timer1->interval(), 20);
    EXPECT_EQ(form->SaveDialog1.filter, QStringLiteral("Profildatei *.dat|*.dat"));
    EXPECT_EQ(form->SaveDialog1.defaultExtension, QStringLiteral("dat"));
    EXPECT_TRUE(form->SaveDialog1.overwritePrompt);
}

TEST_F(ReviewWindow, TabOrderRunsFromMemoToCheckBox)
{
    const std::vector<QWidget*> order{form->Memo1, form->Button1, form->Chart1, form->Edit1,
                                      form->Edit2, form->Button2, form->CheckBox2};
    std::vector<QWidget*> chain;
    QWidget* w = form->Memo1;
    do {
        if (std::find(order.begin(), order.end(), w) != order.end())
            chain.push_back(w);
        w = w->nextInFocusChain();
    } while (w != form->Memo1 && chain.size() < order.size());
    EXPECT_EQ(chain, order);
}

TEST_F(ReviewWindow, RecomputeWritesTheNormalisedProfileIntoTheMemo)
{
    // Chord 400 px, clicked from the trailing edge over the upper side to the lower one.
    contour = {{500, 300}, {400, 280}, {100, 300}, {400, 316}};
    form->Button1->click();
    EXPECT_EQ(MemoLines(), (QStringList{"Test-Zovori", "1 0", "0.75 0.05", "0 0", "0.75 -0.04", "1 0"}));
    EXPECT_EQ(ProfileCoords.size(), 5u);
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(ReviewWindow, FewPointsShowFlippedPicturePixels)
{
    form->Button1->click();
    EXPECT_EQ(MemoLines(), QStringList{"Test-Zovori"}) << "empty contour";
    contour = {{12.5, 100}};
    height = 250;
    form->Button1->click();
    EXPECT_EQ(MemoLines(), (QStringList{"Test-Zovori", "12.5 150"}));
}

TEST_F(ReviewWindow, FailedNormalisationIsDroppedSilently)
{
    contour = {{30, 10}, {30, 20}, {30, 40}, {30, 35}};
    form->Button1->click();
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('|').toStdString();
    EXPECT_EQ(MemoLines(), (QStringList{"Test-Zovori", "1 580", "30 560", "30 565", "30 590", "1 0"}));
}

TEST_F(ReviewWindow, TitleChangeRebuildsOnlyTheText)
{
    contour = {{500, 300}, {400, 280}, {100, 300}, {400, 316}};
    form->Button1->click();
    contour = {{1, 1}};
    form->Edit2->setText(QStringLiteral("Flügel"));
    EXPECT_EQ(MemoLines().front(), QStringLiteral("Flügel"));
    EXPECT_EQ(MemoLines().size(), 6) << "from the unchanged table";
    form->Edit2->clear();
    EXPECT_TRUE(form->Memo1->toPlainText().startsWith(QLatin1String("\n1 0")));
}

TEST_F(ReviewWindow, CheckBoxClickRecomputes)
{
    contour = {{500, 300}, {400, 280}, {100, 300}, {400, 316}};
    form->CheckBox2->setChecked(false);
    EXPECT_EQ(MemoLines().size(), 6);
    // Not normalised while unchecked: picture pixels, only the front x clamped by the start loop.
    EXPECT_EQ(MemoLines()[1], QStringLiteral("1 320"));
    EXPECT_EQ(MemoLines()[2], QStringLiteral("100 300"));
    form->CheckBox2->setChecked(true);
    EXPECT_EQ(MemoLines()[1], QStringLiteral("1 0"));
}

TEST_F(ReviewWindow, ErrorsOtherThanTheNormalisationsReachTheDefaultHandler)
{
    contour = {{1e300, 0}, {-1e300, 1}, {0, -1e300}, {5, 5}};
    form->CheckBox2->setChecked(false);
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_EQ(services.errors.front(), QStringLiteral("Gleitkommaüberlauf"));
}

} // namespace
