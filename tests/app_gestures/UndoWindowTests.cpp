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
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
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

TEST_F(UndoWindow, ClearedPointsComeBackOntoTheirFeaturesAfterAMirrorOrALoad)
{
    enum class TCommand { MirrorH, MirrorV, Load };
    const struct Row {
        const char* name;
        int turns; ///< rotation steps of 5 degrees before the points are set
        TCommand command;
    } rows[] = {
        {"MirrorHorizontal", 0, TCommand::MirrorH},
        {"MirrorHorizontalTurned", 2, TCommand::MirrorH},
        {"MirrorVerticalTurned", 5, TCommand::MirrorV},
        {"LoadWithTurnedView", 2, TCommand::Load},
    };
    // Every pixel its own colour, so that a point finds its feature by colour alone.
    QImage picture(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x & 255, y, x >> 8));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("scan.bmp"));
    ASSERT_TRUE(picture.save(file, "BMP"));
    const QPoint features[] = {{10, 20}, {250, 30}, {299, 0}, {0, 199}, {150, 100}, {77, 151}};

    // Picture pixel of a view point, turned back by the view's angle; pixel (i, j) covers [i, i + 1) x [j, j + 1).
    auto pixelColour = [](const TContourPoint& p) {
        const double a = -View.RotationAngle / 57.29577951308232;
        const int x = static_cast<int>(std::floor(p.x * std::cos(a) - p.y * std::sin(a)));
        const int y = static_cast<int>(std::floor(p.x * std::sin(a) + p.y * std::cos(a)));
        return SourceImage->valid(x, y) ? SourceImage->pixel(x, y) : QRgb{0};
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        *SourceImage = picture;
        ContourPoints.clear();
        for (int i = 0; i < row.turns; ++i)
            form->RotateView(+1);
        const double a = View.RotationAngle / 57.29577951308232;
        // A quarter pixel from each feature's centre: a mirror about the wrong line lands a pixel off.
        for (const QPoint& f : features) {
            const double x = f.x() + 0.25, y = f.y() + 0.75;
            ContourPoints.push_back({x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a), 0});
        }
        std::vector<QRgb> before;
        for (const TContourPoint& p : ContourPoints)
            before.push_back(pixelColour(p));

        fake.openAnswer = file;
        switch (row.command) {
        case TCommand::MirrorH: form->Bildhorizontalspiegeln1Click(); break;
        case TCommand::MirrorV: form->Bildvertikalspiegeln1Click(); break;
        case TCommand::Load: form->Bildladen1Click(); break;
        }
        ASSERT_TRUE(ContourPoints.empty());
        Key(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(ContourPoints.size(), std::size(features));
        for (std::size_t i = 0; i < std::size(features); ++i)
            EXPECT_EQ(pixelColour(ContourPoints[i]), before[i]) << i;
    }
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
