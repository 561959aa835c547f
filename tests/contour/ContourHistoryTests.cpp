// Undo and redo of contour edits: what one step is, what comes back, and what the history holds.
#include "ContourEditor.h"
#include "ContourHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class CountingEffects final : public TEditorEffects {
public:
    int repaints = 0;
    void RenderView() override {}
    void Repaint() override { ++repaints; }
    void PanView(int, int) override {}
};

struct Editor {
    TContourPointArray points;
    TViewState view;
    THitState hit;
    TEditMode mode = Idle;
    TEditMode saved = Idle;
    bool dirty = false;
    bool profileSaved = true;
    TContourHistory history;
    CountingEffects fx;

    TEditorModel Model() { return {points, view, hit, mode, saved, dirty, profileSaved, &history}; }
    void Move(int x, int y, TMouseButtons b = {}) { EditorMouseMove(Model(), {x, y}, b, x, y, fx); }
    void Press(int x, int y, TMouseButtons b) { EditorMouseDown(Model(), b, x, y, fx); }
    bool Undo() { return EditorUndo(Model(), view.CursorPos, fx); }
    bool Redo() { return EditorRedo(Model(), view.CursorPos, fx); }
};

constexpr TMouseButtons None{};
constexpr TMouseButtons L{true, false};
constexpr TMouseButtons R{false, true};

bool Same(const TContourPointArray& a, const TContourPointArray& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(TContourPoint)) == 0);
}

const TContourPointArray Four{{0, 0, 0}, {20, 0, 0}, {40, 0, 0}, {60, 0, 0}};

struct BoundaryCase {
    const char* name;
    TContourPointArray start;
    std::function<void(Editor&)> gestures;
    size_t steps;
};

void PrintTo(const BoundaryCase& c, std::ostream* os) { *os << c.name; }

class StepBoundaries : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(StepBoundaries, UndoAllRestoresTheStartAndRedoAllTheEnd)
{
    Editor e;
    e.points = GetParam().start;
    GetParam().gestures(e);
    const TContourPointArray end = e.points;
    EXPECT_EQ(e.history.UndoSteps(), GetParam().steps);
    for (size_t i = 0; i < GetParam().steps; ++i)
        ASSERT_TRUE(e.Undo()) << "undo " << i;
    EXPECT_FALSE(e.Undo());
    EXPECT_TRUE(Same(e.points, GetParam().start));
    while (e.Redo()) {
    }
    EXPECT_TRUE(Same(e.points, end));
}

INSTANTIATE_TEST_SUITE_P(
    Gestures, StepBoundaries,
    ::testing::Values(
        BoundaryCase{"each_append_is_a_step", {}, [](Editor& e) {
                         e.Move(10, 10);
                         e.Press(10, 10, L);
                         e.Move(50, 10);
                         e.Press(50, 10, L);
                     }, 2},
        BoundaryCase{"each_prepend_is_a_step", Four, [](Editor& e) {
                         e.Move(0, 0);
                         e.Move(-30, 30);
                         e.Press(-30, 30, L);
                         e.Move(-60, 30);
                         e.Press(-60, 30, L);
                     }, 2},
        BoundaryCase{"a_drag_is_one_step", Four, [](Editor& e) {
                         e.Move(20, 0);
                         e.Press(20, 0, L);
                         e.Move(23, 4, L);
                         e.Move(26, 8, L);
                         e.Move(29, 12, L);
                         e.Move(29, 12);
                     }, 1},
        BoundaryCase{"a_drag_handed_to_a_higher_index_is_one_step", Four, [](Editor& e) {
                         e.Move(20, 0);
                         e.Press(20, 0, L);
                         e.Move(26, 0, L);
                         e.Move(32, 0, L);
                         e.Move(38, 0, L);
                         e.Move(38, 0);
                     }, 1},
        BoundaryCase{"two_drags_are_two_steps", Four, [](Editor& e) {
                         e.Move(20, 0);
                         e.Press(20, 0, L);
                         e.Move(23, 4, L);
                         e.Move(23, 4);
                         e.Press(23, 4, L);
                         e.Move(26, 8, L);
                     }, 2},
        BoundaryCase{"a_click_and_its_jitter_are_one_step", Four, [](Editor& e) {
                         e.Move(60, 0);
                         e.Move(100, 0);
                         e.Press(100, 0, L);
                         e.Move(101, 1, L);
                     }, 1},
        BoundaryCase{"right_deletions_in_one_gesture_are_one_step", Four, [](Editor& e) {
                         e.Move(20, 0);
                         e.Press(20, 0, R);
                         e.Move(40, 0, R);
                         e.Move(60, 0, R);
                     }, 1},
        BoundaryCase{"right_deletions_without_a_press_are_one_step", Four, [](Editor& e) {
                         e.Move(0, 0, R);
                         e.Move(20, 0, R);
                     }, 1},
        BoundaryCase{"two_right_gestures_are_two_steps", Four, [](Editor& e) {
                         e.Move(20, 0);
                         e.Press(20, 0, R);
                         e.Move(40, 0);
                         e.Press(40, 0, R);
                     }, 2},
        BoundaryCase{"an_insert_is_a_step", Four, [](Editor& e) {
                         e.Move(30, 3);
                         e.Press(30, 3, L);
                     }, 1},
        BoundaryCase{"a_pan_is_no_step", Four, [](Editor& e) {
                         e.Move(300, 300);
                         e.Press(300, 300, R);
                         e.Move(310, 290, R);
                     }, 0}),
    [](const ::testing::TestParamInfo<BoundaryCase>& info) { return std::string(info.param.name); });

TEST(History, ClearIsOneStepThatKeepsItsPoints)
{
    Editor e;
    e.points = Four;
    e.mode = AppendAtEnd;
    EditorClearContour(e.Model());
    EXPECT_TRUE(e.points.empty());
    EXPECT_EQ(e.mode, Idle);
    EXPECT_FALSE(e.dirty); // "Polygon löschen" itself touches neither flag
    ASSERT_TRUE(e.Undo());
    EXPECT_TRUE(Same(e.points, Four));
    ASSERT_TRUE(e.Redo());
    EXPECT_TRUE(e.points.empty());

    // Clearing an empty list is no step and keeps what can be redone.
    Editor f;
    f.Move(10, 10);
    f.Press(10, 10, L);
    ASSERT_TRUE(f.Undo());
    EditorClearContour(f.Model());
    EXPECT_EQ(f.history.UndoSteps(), 0u);
    EXPECT_TRUE(f.Redo());
    EXPECT_EQ(f.points.size(), 1u);
}

TEST(History, ANewEditDiscardsTheRedoSteps)
{
    Editor e;
    e.points = Four;
    e.Move(20, 0);
    e.Press(20, 0, R);
    e.Move(40, 0);
    e.Press(40, 0, R);
    ASSERT_TRUE(e.Undo());
    ASSERT_TRUE(e.history.CanRedo());
    e.Move(30, 3);
    e.Press(30, 3, L); // insert between 0 and 40
    EXPECT_FALSE(e.history.CanRedo());
    EXPECT_FALSE(e.Redo());
}

// The turn the picture's rotation gives every point (5 degrees about the view origin).
void Turn(TContourPoint& p)
{
    const double c = std::cos(-0.0872664625997165), s = std::sin(-0.0872664625997165);
    const double x = c * p.x + s * p.y;
    p.y = -s * p.x + c * p.y;
    p.x = x;
}

void TurnAll(Editor& e, TContourPointArray& shadow, int times)
{
    for (int i = 0; i < times; ++i) {
        for (TContourPoint& p : e.points)
            Turn(p);
        for (TContourPoint& p : shadow)
            Turn(p);
        e.history.Transformed(Turn);
    }
}

TEST(History, PointsComeBackTurnedWithThePictureBitForBit)
{
    // The shadow is the contour as it would be without the edits; undo must end exactly on it.
    Editor e;
    e.points = Four;
    TContourPointArray shadow = Four;
    e.Move(20, 0);
    e.Press(20, 0, R); // delete
    TurnAll(e, shadow, 3);
    e.Move(39, 10); // (40, 0) turned by 15 degrees
    e.Press(39, 10, L);
    e.Move(43, 13, L);
    ASSERT_EQ(e.points[1].x, 43.0);
    TurnAll(e, shadow, 2);
    EditorClearContour(e.Model());
    TurnAll(e, shadow, 4);

    ASSERT_TRUE(e.Undo());
    ASSERT_TRUE(e.Undo());
    ASSERT_TRUE(e.Undo());
    EXPECT_TRUE(Same(e.points, shadow));

    // Redo after a further turn lands where the edits would have put the points.
    TurnAll(e, shadow, 1);
    ASSERT_TRUE(e.Redo());
    ASSERT_TRUE(e.Redo());
    TContourPoint dragged{43, 13, 0};
    for (int i = 0; i < 7; ++i)
        Turn(dragged);
    const TContourPointArray expected{shadow[0], dragged, shadow[3]};
    EXPECT_TRUE(Same(e.points, expected));
}

TEST(History, ALongClearedContourTurnedManyTimesComesBackToWithinRounding)
{
    // Past the budget the turns are composed: one pass over the points instead of one per turn.
    const double t = 0.0872664625997165;
    TContourPointArray points, shadow;
    for (int i = 0; i < 5000; ++i)
        points.push_back({i * 0.37, 1000.0 - i * 0.11, 0});
    shadow = points;
    TContourHistory history;
    history.Clear(points);
    for (int i = 0; i < 75; ++i) {
        const TContourAffine turn = TContourAffine::Turn(t);
        for (TContourPoint& p : shadow)
            turn.Apply(p);
        history.Transformed([turn](TContourPoint& p) { turn.Apply(p); }, turn);
    }
    // A mirror in between, as the mirror commands give it.
    history.Transformed(TContourAffine{-1, 0, 0, 1, 299, 0});
    for (TContourPoint& p : shadow)
        p.x = 299 - p.x;
    ASSERT_TRUE(history.Undo(points));
    ASSERT_EQ(points.size(), shadow.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].x, shadow[i].x, 1e-9);
        EXPECT_NEAR(points[i].y, shadow[i].y, 1e-9);
    }
}

struct ModeCase {
    const char* name;
    TEditMode before;
    size_t appended; ///< points appended to an empty list before the undo
    TEditMode after;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class AfterUndo : public ::testing::TestWithParam<ModeCase> {};

TEST_P(AfterUndo, FlagsSetHitResampledAndAnArmedEndKept)
{
    Editor e;
    for (size_t i = 0; i < GetParam().appended; ++i) {
        e.Move(int(10 + 40 * i), 10);
        e.Press(int(10 + 40 * i), 10, L);
    }
    e.mode = GetParam().before;
    e.dirty = false;
    e.profileSaved = true;
    e.hit = THitState{};
    e.view.CursorPos = {10, 10}; // resting on point 0, which the undo leaves
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(e.mode, GetParam().after);
    EXPECT_TRUE(e.dirty);
    EXPECT_FALSE(e.profileSaved);
    EXPECT_EQ(e.hit.HotPointIndex, GetParam().appended > 1 ? 0 : -1);
    EXPECT_EQ(e.hit.HotSegmentIndex, -1);
    EXPECT_EQ(e.fx.repaints, 1);

    e.dirty = false;
    e.profileSaved = true;
    ASSERT_TRUE(e.Redo());
    EXPECT_TRUE(e.dirty);
    EXPECT_FALSE(e.profileSaved);
    EXPECT_EQ(e.hit.HotPointIndex, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AfterUndo,
    ::testing::Values(ModeCase{"append_end_still_there", AppendAtEnd, 2, AppendAtEnd},
                      ModeCase{"front_end_still_there", InsertAtFront, 2, InsertAtFront},
                      ModeCase{"append_end_gone", AppendAtEnd, 1, Idle},
                      ModeCase{"front_end_gone", InsertAtFront, 1, Idle},
                      ModeCase{"drag_ends", DragPoint, 2, Idle},
                      ModeCase{"stopped_becomes_idle", Stopped, 2, Idle}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST(MovePoints, ABatchIsOneStepAndNoChangeIsNoStep)
{
    Editor e;
    e.points = Four;
    EXPECT_EQ(EditorMovePoints(e.Model(), {{1, 20, 0}, {2, 40, 0}}), 0);
    EXPECT_FALSE(e.dirty);
    EXPECT_TRUE(e.profileSaved);
    EXPECT_FALSE(e.history.CanUndo());

    EXPECT_THROW(EditorMovePoints(e.Model(), {{1, 21, 1}, {4, 0, 0}}), std::out_of_range);
    EXPECT_TRUE(Same(e.points, Four));

    EXPECT_EQ(EditorMovePoints(e.Model(), {{1, 21, 1}, {2, 40, 0}, {3, 61, 2}}), 2);
    EXPECT_TRUE(e.dirty);
    EXPECT_FALSE(e.profileSaved);
    EXPECT_EQ(e.points[3].x, 61);
    ASSERT_TRUE(e.Undo());
    EXPECT_TRUE(Same(e.points, Four));
    EXPECT_FALSE(e.Undo());
}

TEST(HistoryMemory, StepsHoldWhatChangedNotTheList)
{
    Editor e;
    for (int i = 0; i < 10000; ++i)
        e.points.push_back({20.0 * i, 0, 0});
    for (int i = 0; i < 500; ++i) {
        e.Move(5010, 0);
        e.Press(5010, 0, L); // on segment 250: inserts
        e.Move(5010, 0);
        e.Press(5010, 0, R); // on the inserted point: deletes
    }
    EXPECT_EQ(e.history.UndoSteps(), 1000u);
    EXPECT_LT(e.history.Bytes(), 1000u * 512); // one copy of the list would be 240,000 bytes
}

TEST(HistoryMemory, OldestStepsGoFirstAndTheNewestStays)
{
    TContourPointArray points;
    TContourHistory history(64 * 1024);
    for (int i = 0; i < 5000; ++i) {
        history.Append(points, i, 0);
        history.CloseStep();
    }
    EXPECT_LE(history.Bytes(), history.ByteLimit());
    EXPECT_GT(history.UndoSteps(), 100u);
    EXPECT_LT(history.UndoSteps(), 5000u);
    while (history.Undo(points)) {
    }
    EXPECT_EQ(points.size(), 5000 - history.RedoSteps()); // the oldest appends cannot be taken back

    // A clear larger than the whole limit is still kept, alone.
    TContourPointArray big(10000);
    history.Clear(big);
    EXPECT_EQ(history.UndoSteps(), 1u);
    // Whole-contour changes cannot pile up past the limit either: the kept step takes them on.
    for (int i = 0; i < 4000; ++i)
        history.Transformed([](TContourPoint& p) { p.x += 1; });
    EXPECT_LE(history.Bytes(), 10000 * sizeof(TContourPoint) + 1024);
    EXPECT_TRUE(history.Undo(big));
    ASSERT_EQ(big.size(), 10000u);
    EXPECT_EQ(big[9999].x, 4000.0);
}

TEST(History, AListChangedBehindItsBackIsNotReplayed)
{
    Editor e;
    e.Move(10, 10);
    e.Press(10, 10, L);
    e.points.push_back({99, 99, 0});
    EXPECT_FALSE(e.Undo());
    EXPECT_EQ(e.points.size(), 2u);
    EXPECT_FALSE(e.history.CanUndo());
}

} // namespace
