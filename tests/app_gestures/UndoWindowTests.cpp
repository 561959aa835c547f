// Undo and redo through the real main window: the keys, the menu items and the commands that clear.
#include "FakeServices.h"
#include "Unit1.h"
#include "Unit2.h"
#include "ViewTransform.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

class UndoWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUnit1State();
        form = std::make_unique<TForm1>();
        form->FormCreate();
        form->Timer1->stop(); // ticks by hand
        recompute = new QPushButton(form.get());
        recompute->hide();
        QObject::connect(recompute, &QPushButton::clicked, [this] { ++recomputes; });
        form->ReviewRecomputeButton = recompute;
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->Client->setFocus();
        ContourPoints = {{0, 100, 0}, {100, 100, 0}, {200, 100, 0}};
    }

    void TearDown() override
    {
        form.reset();
        ResetUnit1State();
    }

    void Move(QPoint p, Qt::MouseButtons held = Qt::NoButton)
    {
        fake.cursor = form->Client->mapToGlobal(p);
        QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(fake.cursor), Qt::NoButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(form->Client, &move);
    }
    void DeleteAt(QPoint p)
    {
        Move(p);
        QTest::mouseClick(form->Client, Qt::RightButton, {}, p);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers, QWidget* to = nullptr)
    {
        QTest::keyClick(to ? to : form->Client, key, modifiers);
    }

    FakeServices fake;
    std::unique_ptr<TForm1> form;
    QPushButton* recompute = nullptr;
    int recomputes = 0;
};

TEST_F(UndoWindow, KeysUndoAndRedoAndTheMenuFollowsWithinATick)
{
    DeleteAt({100, 100});
    DeleteAt({200, 100});
    ASSERT_EQ(ContourPoints.size(), 1u);
    form->Timer1Timer();
    EXPECT_TRUE(form->Rckgngig1->isEnabled());
    EXPECT_FALSE(form->Wiederholen1->isEnabled());

    ProfileSaved = true;
    recomputes = 0;
    Move({150, 300}); // the hot point is sampled again where the cursor is
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(ContourPoints.size(), 2u);
    EXPECT_EQ(ContourPoints[1].x, 200.0);
    EXPECT_TRUE(ProfileDirty);
    EXPECT_FALSE(ProfileSaved);
    EXPECT_EQ(Hit.HotPointIndex, -1);
    form->Timer1Timer();
    EXPECT_EQ(recomputes, 1);
    EXPECT_TRUE(form->Rckgngig1->isEnabled());
    EXPECT_TRUE(form->Wiederholen1->isEnabled());

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ContourPoints.size(), 3u);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ContourPoints.size(), 2u);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ContourPoints.size(), 1u);
    Key(Qt::Key_Z, Qt::NoModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(ContourPoints.size(), 1u);
    form->Timer1Timer();
    EXPECT_FALSE(form->Wiederholen1->isEnabled());
}

TEST_F(UndoWindow, TheReviewWindowKeepsItsKeys)
{
    TForm2 review;
    review.show();
    DeleteAt({100, 100});
    review.Memo1->setFocus();
    Key(Qt::Key_Z, Qt::ControlModifier, review.Memo1);
    EXPECT_EQ(ContourPoints.size(), 2u);
}

TEST_F(UndoWindow, HistoryItemsFollowTheMirrorItemsWithTheirKeys)
{
    const QList<QAction*> items = form->Edit1->actions();
    ASSERT_GE(items.size(), 8);
    EXPECT_EQ(items[4], form->Bildvertikalspiegeln1);
    EXPECT_TRUE(items[5]->isSeparator());
    EXPECT_EQ(items[6]->text(), QStringLiteral("Rückgängig"));
    EXPECT_EQ(items[6]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(items[7]->text(), QStringLiteral("Wiederholen"));
    EXPECT_EQ(items[7]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
}

TEST_F(UndoWindow, AClearByAMirrorIsUndoneByOneKey)
{
    form->Bildhorizontalspiegeln1Click();
    ASSERT_TRUE(ContourPoints.empty());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ContourPoints.size(), 3u);
}

TEST_F(UndoWindow, ADeletedPointComesBackTurnedExactlyAsTheListWas)
{
    TContourPointArray shadow = ContourPoints;
    DeleteAt({100, 100});
    for (int i = 0; i < 3; ++i)
        form->RotateView(+1);
    form->RotateView(-1);
    TViewState view;
    for (int i = 0; i < 3; ++i)
        RotateStep(view, +1, shadow);
    RotateStep(view, -1, shadow);

    form->Rckgngig1Click();
    ASSERT_EQ(ContourPoints.size(), 3u);
    EXPECT_EQ(std::memcmp(ContourPoints.data(), shadow.data(), 3 * sizeof(TContourPoint)), 0);
}

} // namespace
