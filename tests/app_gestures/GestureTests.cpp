// The main window's mouse and key gestures, driven through real Qt events on a headless TForm1.
#include "FakeServices.h"
#include "Unit1.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Counts the wheel notifications that reach the client area, without stopping them.
class WheelSpy final : public QObject {
public:
    std::vector<int> deltas;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel)
            deltas.push_back(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return false;
    }
};

class Gestures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUnit1State();
        form = std::make_unique<TForm1>();
        form->FormCreate();
        // Ticks are run by hand so that none clears the flags between an edit and its check.
        form->Timer1->stop();
        recompute = new QPushButton(form.get());
        recompute->hide();
        QObject::connect(recompute, &QPushButton::clicked, [this] { ++recomputes; });
        form->ReviewRecomputeButton = recompute;
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

public:
    void TearDown() override
    {
        form.reset();
        ResetUnit1State();
    }

    TForm1Client* client() const { return form->Client; }

    /// A move whose event carries `eventPos` while the cursor is at `cursor` (client pixels).
    void MoveWithCursor(QPoint cursor, QPoint eventPos, Qt::MouseButtons held = Qt::NoButton)
    {
        fake.cursor = client()->mapToGlobal(cursor);
        QMouseEvent move(QEvent::MouseMove, QPointF(eventPos), QPointF(client()->mapToGlobal(eventPos)),
                         Qt::NoButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(client(), &move);
    }
    void Move(QPoint p, Qt::MouseButtons held = Qt::NoButton) { MoveWithCursor(p, p, held); }
    void Click(QPoint p, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(client(), button, {}, p); }

    void StartFlags()
    {
        ProfileDirty = false;
        ProfileSaved = true;
        recomputes = 0;
    }

    FakeServices fake;
    std::unique_ptr<TForm1> form;
    QPushButton* recompute = nullptr;
    int recomputes = 0;
};

TEST_F(Gestures, ClickStoresTheSampledCursorUnzoomed)
{
    View.ZoomFactor = 2.0;
    View.ViewOriginX = 10;
    View.ViewOriginY = 10;
    // The event's own position is ignored by the sampling: the cursor is read from the system.
    MoveWithCursor({31, 50}, {200, 200});
    EXPECT_EQ(View.CursorPos, (TClientPoint{31, 50}));
    EXPECT_EQ(Hit.CursorViewOffsetX, 21);
    EXPECT_EQ(Hit.CursorViewOffsetY, 40);
    EXPECT_EQ(EditMode, AppendAtEnd);

    Click({31, 50});
    ASSERT_EQ(ContourPoints.size(), 1u);
    EXPECT_EQ(ContourPoints[0].x, 10.5);
    EXPECT_EQ(ContourPoints[0].y, 20.0);
    EXPECT_EQ(ContourPoints[0].z, 0.0);
}

struct EditCase {
    const char* name;
    TEditMode startMode;
    void (*gesture)(Gestures&);
    size_t count; ///< points after the gesture, from the three of the fixture
};

// Named rows read better in test listings than a byte dump of the row.
void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class EditFlags : public Gestures, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditFlags, EveryEditMarksDirtyUnsavedAndTheNextTickRecomputes)
{
    ContourPoints = {{0, 100, 0}, {100, 100, 0}, {200, 100, 0}};
    EditMode = GetParam().startMode;
    StartFlags();
    GetParam().gesture(*this);
    EXPECT_EQ(ContourPoints.size(), GetParam().count);
    EXPECT_TRUE(ProfileDirty);
    EXPECT_FALSE(ProfileSaved);

    form->Timer1Timer();
    EXPECT_EQ(recomputes, 1);
    EXPECT_FALSE(ProfileDirty);
    form->Timer1Timer();
    EXPECT_EQ(recomputes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditFlags,
    ::testing::Values(
        EditCase{"append", Idle, [](Gestures& g) { g.Move({200, 100}); g.Move({300, 50}); g.Click({300, 50}); }, 4},
        EditCase{"prepend", Idle, [](Gestures& g) { g.Move({0, 100}); g.Move({30, 40}); g.Click({30, 40}); }, 4},
        EditCase{"insert_on_segment", AppendAtEnd, [](Gestures& g) { g.Move({50, 103}); g.Click({50, 103}); }, 4},
        EditCase{"drag", Idle, [](Gestures& g) {
                     g.Move({100, 100});
                     QTest::mousePress(g.client(), Qt::LeftButton, {}, {100, 100});
                     g.Move({104, 98}, Qt::LeftButton);
                     QTest::mouseRelease(g.client(), Qt::LeftButton, {}, {104, 98});
                     EXPECT_EQ(ContourPoints[1].x, 104);
                     EXPECT_EQ(ContourPoints[1].y, 98);
                 }, 3},
        EditCase{"delete_by_right_press", Idle, [](Gestures& g) { g.Move({100, 100}); g.Click({100, 100}, Qt::RightButton); }, 2},
        EditCase{"delete_by_right_move", Idle, [](Gestures& g) { g.Move({100, 100}, Qt::RightButton); }, 2}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST_F(Gestures, DoubleClickIsASecondPress)
{
    Move({40, 40});
    Click({40, 40});
    Move({80, 40});
    QTest::mouseClick(client(), Qt::LeftButton, {}, {80, 40});
    QTest::mouseDClick(client(), Qt::LeftButton, {}, {80, 40});
    ASSERT_EQ(ContourPoints.size(), 3u);
    EXPECT_EQ(ContourPoints[1].x, ContourPoints[2].x);
    EXPECT_EQ(ContourPoints[1].y, ContourPoints[2].y);
}

TEST_F(Gestures, PressCountsThePressedButtonAsHeld)
{
    Move({40, 40});
    // A press whose button state omits the button itself, as some platforms deliver it.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, 40), QPointF(client()->mapToGlobal(QPoint(40, 40))),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(client(), &press);
    EXPECT_EQ(ContourPoints.size(), 1u);
}

TEST_F(Gestures, EscapeAndF3AreObservedByTheTick)
{
    ContourPoints = {{0, 0, 0}, {50, 0, 0}};
    Move({50, 0});
    ASSERT_EQ(EditMode, AppendAtEnd);
    fake.held[platform::Key::Escape] = true;
    form->Timer1Timer();
    EXPECT_EQ(EditMode, Idle);
    fake.held[platform::Key::F3] = true;
    form->Timer1Timer();
    EXPECT_EQ(EditMode, Stopped);
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    bool keypad;
    bool ctrl;
    int delta;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyNotches : public Gestures, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyNotches, EachKeyPostsOneNotchToTheClientArea)
{
    const KeyCase& c = GetParam();
    WheelSpy spy;
    client()->installEventFilter(&spy);
    fake.held[platform::Key::Control] = c.ctrl;
    Qt::KeyboardModifiers modifiers;
    if (c.keypad)
        modifiers |= Qt::KeypadModifier;
    if (c.ctrl)
        modifiers |= Qt::ControlModifier;
    QTest::keyClick(client(), c.key, modifiers);
    EXPECT_TRUE(spy.deltas.empty()) << "delivered through the queue, not at once";
    QCoreApplication::sendPostedEvents(client(), QEvent::Wheel);
    EXPECT_EQ(spy.deltas, std::vector<int>{c.delta});
    client()->removeEventFilter(&spy);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyNotches,
    ::testing::Values(KeyCase{"main_plus", Qt::Key_Plus, false, false, 120},
                      KeyCase{"main_plus_ctrl", Qt::Key_Plus, false, true, -120},
                      KeyCase{"keypad_plus", Qt::Key_Plus, true, false, 120},
                      KeyCase{"keypad_plus_ctrl", Qt::Key_Plus, true, true, 120},
                      KeyCase{"main_minus", Qt::Key_Minus, false, false, -120},
                      KeyCase{"main_minus_ctrl", Qt::Key_Minus, false, true, 120},
                      KeyCase{"keypad_minus", Qt::Key_Minus, true, false, -120},
                      KeyCase{"keypad_minus_ctrl", Qt::Key_Minus, true, true, -120}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(Gestures, OtherKeysPostNothing)
{
    WheelSpy spy;
    client()->installEventFilter(&spy);
    QTest::keyClick(client(), Qt::Key_A);
    QTest::keyClick(client(), Qt::Key_Equal);
    QCoreApplication::sendPostedEvents(client(), QEvent::Wheel);
    EXPECT_TRUE(spy.deltas.empty());
    client()->removeEventFilter(&spy);
}

TEST_F(Gestures, CtrlPlusThreeTimesRotatesByTheStep)
{
    fake.held[platform::Key::Control] = true;
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(client(), Qt::Key_Plus, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(client(), QEvent::Wheel);
    EXPECT_DOUBLE_EQ(View.RotationAngle, 355.0); // one step down: -5 degrees

    for (int i = 0; i < 6; ++i)
        QTest::keyClick(client(), Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    QCoreApplication::sendPostedEvents(client(), QEvent::Wheel);
    EXPECT_DOUBLE_EQ(View.RotationAngle, 5.0); // two steps up: +10 degrees
}

TEST_F(Gestures, RightDragPansFromThePressPosition)
{
    ContourPoints = {{0, 0, 0}, {20, 0, 0}};
    Move({300, 300});
    QTest::mousePress(client(), Qt::RightButton, {}, {300, 300});
    Move({310, 295}, Qt::RightButton);
    QTest::mouseRelease(client(), Qt::RightButton, {}, {310, 295});
    EXPECT_EQ(View.ViewOriginX, 10);
    EXPECT_EQ(View.ViewOriginY, -5);
    EXPECT_EQ(ContourPoints.size(), 2u);
    EXPECT_TRUE(ProfileSaved);
}

} // namespace
