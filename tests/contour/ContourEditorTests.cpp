// The editing state machine, driven as a window would drive it: moves, presses and ticks.
#include "ContourEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what the rules ask of the window; the pan step does what the window's does.
class RecordingEffects final : public TEditorEffects {
public:
    explicit RecordingEffects(TViewState& view, bool& dirty) : view_(view), dirty_(dirty) {}
    std::vector<std::string> calls;

    void RenderView() override { calls.push_back("render"); }
    void Repaint() override { calls.push_back("repaint"); }
    void PanView(int X, int Y) override
    {
        view_.ViewOriginX += X - view_.PanAnchorX;
        view_.ViewOriginY += Y - view_.PanAnchorY;
        view_.PanAnchorX = X;
        view_.PanAnchorY = Y;
        dirty_ = true;
        calls.push_back("pan");
    }

private:
    TViewState& view_;
    bool& dirty_;
};

struct Editor {
    TContourPointArray points;
    TViewState view;
    THitState hit;
    TEditMode mode = Idle;
    TEditMode saved = Idle;
    bool dirty = false;
    bool profileSaved = true;
    RecordingEffects fx{view, dirty};

    TEditorModel Model() { return {points, view, hit, mode, saved, dirty, profileSaved}; }
    void Move(int x, int y, TMouseButtons b = {}) { EditorMouseMove(Model(), {x, y}, b, x, y, fx); }
    void Press(int x, int y, TMouseButtons b) { EditorMouseDown(Model(), b, x, y, fx); }
};

constexpr TMouseButtons None{};
constexpr TMouseButtons L{true, false};
constexpr TMouseButtons R{false, true};
constexpr TMouseButtons LR{true, true};

enum class Op { Move, Press, Escape, F3, EscapeAndF3, Clear };

struct Step {
    Op op;
    int x = 0;
    int y = 0;
    TMouseButtons buttons{};
    TEditMode mode; ///< expected after the step
};

struct Scenario {
    const char* name;
    std::vector<TContourPoint> start;
    std::vector<Step> steps;
    std::vector<TContourPoint> end;
    bool dirty;        ///< from false at the start
    bool profileSaved; ///< from true at the start
    int originX = 0;
    int originY = 0;
};

class EditorScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(EditorScenario, Runs)
{
    const Scenario& s = GetParam();
    Editor e;
    e.points = s.start;
    for (size_t i = 0; i < s.steps.size(); ++i) {
        const Step& step = s.steps[i];
        switch (step.op) {
        case Op::Move: e.Move(step.x, step.y, step.buttons); break;
        case Op::Press: e.Press(step.x, step.y, step.buttons); break;
        case Op::Escape: EditorTickKeys(e.mode, e.points, true, false); break;
        case Op::F3: EditorTickKeys(e.mode, e.points, false, true); break;
        case Op::EscapeAndF3: EditorTickKeys(e.mode, e.points, true, true); break;
        case Op::Clear:
            e.points.clear();
            e.mode = Idle;
            break;
        }
        ASSERT_EQ(int(e.mode), int(step.mode)) << "after step " << i;
    }
    ASSERT_EQ(e.points.size(), s.end.size());
    for (size_t i = 0; i < s.end.size(); ++i) {
        EXPECT_DOUBLE_EQ(e.points[i].x, s.end[i].x) << "point " << i;
        EXPECT_DOUBLE_EQ(e.points[i].y, s.end[i].y) << "point " << i;
        EXPECT_EQ(e.points[i].z, 0.0) << "point " << i;
    }
    EXPECT_EQ(e.dirty, s.dirty);
    EXPECT_EQ(e.profileSaved, s.profileSaved);
    EXPECT_EQ(e.view.ViewOriginX, s.originX);
    EXPECT_EQ(e.view.ViewOriginY, s.originY);
}

// PointRadius 4, zoom 1, origin (0, 0): points are hot within 8 pixels, segments within 4.
const std::vector<TContourPoint> Three{{0, 100, 0}, {100, 100, 0}, {200, 100, 0}};

INSTANTIATE_TEST_SUITE_P(
    Scenarios, EditorScenario,
    ::testing::Values(
        Scenario{"start_contour",
                 {},
                 {{Op::Move, 50, 50, None, AppendAtEnd},
                  {Op::Press, 50, 50, L, AppendAtEnd},
                  {Op::Move, 100, 60, None, AppendAtEnd},
                  {Op::Press, 100, 60, L, AppendAtEnd}},
                 {{50, 50, 0}, {100, 60, 0}},
                 true,
                 false},
        Scenario{"first_left_press_arms_an_empty_list",
                 {},
                 {{Op::Move, 50, 50, None, AppendAtEnd}, {Op::Escape, 0, 0, None, Idle}, {Op::Press, 50, 50, L, AppendAtEnd}},
                 {{50, 50, 0}},
                 true,
                 false},
        Scenario{"extend_at_end_and_stay_armed",
                 Three,
                 {{Op::Move, 203, 100, None, AppendAtEnd},
                  {Op::Move, 300, 150, None, AppendAtEnd},
                  {Op::Press, 300, 150, L, AppendAtEnd},
                  {Op::Move, 400, 150, None, AppendAtEnd},
                  {Op::Press, 400, 150, L, AppendAtEnd}},
                 {{0, 100, 0}, {100, 100, 0}, {200, 100, 0}, {300, 150, 0}, {400, 150, 0}},
                 true,
                 false},
        Scenario{"extend_at_front_and_stay_armed",
                 Three,
                 {{Op::Move, 0, 102, None, InsertAtFront},
                  {Op::Move, -50, 50, None, InsertAtFront},
                  {Op::Press, -50, 50, L, InsertAtFront},
                  {Op::Move, -90, 20, None, InsertAtFront},
                  {Op::Press, -90, 20, L, InsertAtFront}},
                 {{-90, 20, 0}, {-50, 50, 0}, {0, 100, 0}, {100, 100, 0}, {200, 100, 0}},
                 true,
                 false},
        Scenario{"single_point_arms_the_end", {{10, 10, 0}}, {{Op::Move, 10, 10, None, AppendAtEnd}}, {{10, 10, 0}}, false, true},
        Scenario{"insert_on_segment_ends_extending",
                 Three,
                 {{Op::Move, 200, 100, None, AppendAtEnd},
                  {Op::Move, 50, 103, None, AppendAtEnd},
                  {Op::Press, 50, 103, L, Idle},
                  {Op::Move, 300, 300, None, Idle},
                  {Op::Press, 300, 300, L, Idle}},
                 {{0, 100, 0}, {50, 103, 0}, {100, 100, 0}, {200, 100, 0}},
                 true,
                 false},
        Scenario{"right_press_on_segment_inserts_too",
                 Three,
                 {{Op::Move, 150, 97, None, Idle}, {Op::Press, 150, 97, R, Idle}},
                 {{0, 100, 0}, {100, 100, 0}, {150, 97, 0}, {200, 100, 0}},
                 true,
                 false},
        Scenario{"drag_follows_then_loses_the_point_on_a_jump",
                 Three,
                 {{Op::Move, 100, 100, None, Idle},
                  {Op::Press, 100, 100, L, DragPoint},
                  {Op::Move, 105, 102, L, DragPoint},
                  {Op::Move, 110, 104, L, DragPoint},
                  {Op::Move, 130, 104, L, DragPoint},
                  {Op::Move, 110, 104, None, Idle}},
                 {{0, 100, 0}, {110, 104, 0}, {200, 100, 0}},
                 true,
                 false},
        Scenario{"drag_last_point_then_release_rearms_append",
                 Three,
                 {{Op::Move, 200, 100, None, AppendAtEnd},
                  {Op::Press, 200, 100, L, DragPoint},
                  {Op::Move, 205, 95, L, DragPoint},
                  {Op::Move, 205, 95, None, AppendAtEnd}},
                 {{0, 100, 0}, {100, 100, 0}, {205, 95, 0}},
                 true,
                 false},
        Scenario{"drag_passes_to_a_higher_index",
                 {{0, 0, 0}, {20, 0, 0}},
                 {{Op::Move, 0, 0, None, InsertAtFront},
                  {Op::Press, 0, 0, L, DragPoint},
                  {Op::Move, 6, 0, L, DragPoint},
                  {Op::Move, 12, 0, L, DragPoint}},
                 {{6, 0, 0}, {12, 0, 0}},
                 true,
                 false},
        Scenario{"drag_middle_point_release_gives_idle",
                 Three,
                 {{Op::Move, 200, 100, None, AppendAtEnd},
                  {Op::Move, 100, 100, None, AppendAtEnd},
                  {Op::Press, 100, 100, L, DragPoint},
                  {Op::Move, 100, 100, None, Idle}},
                 Three,
                 false,
                 true},
        Scenario{"right_press_deletes_and_pan_restores_the_saved_mode",
                 Three,
                 {{Op::Move, 200, 100, None, AppendAtEnd},
                  {Op::Press, 200, 100, R, Idle},
                  {Op::Move, 210, 95, R, AppendAtEnd}},
                 {{0, 100, 0}, {100, 100, 0}},
                 true,
                 false,
                 10,
                 -5},
        Scenario{"keep_deleting_while_right_held",
                 {{0, 0, 0}, {20, 0, 0}, {40, 0, 0}, {60, 0, 0}},
                 {{Op::Move, 20, 0, None, Idle},
                  {Op::Press, 20, 0, R, Idle},
                  {Op::Move, 40, 0, R, Idle},
                  {Op::Move, 45, 0, R, Idle}},
                 {{0, 0, 0}, {60, 0, 0}},
                 true,
                 false,
                 25,
                 0},
        Scenario{"right_drag_away_from_points_pans_only",
                 Three,
                 {{Op::Move, 300, 300, None, Idle}, {Op::Press, 300, 300, R, Idle}, {Op::Move, 310, 295, R, Idle}, {Op::Move, 312, 290, R, Idle}},
                 Three,
                 true,
                 true,
                 12,
                 -10},
        Scenario{"press_without_movement_pans_nothing",
                 Three,
                 {{Op::Move, 300, 300, None, Idle}, {Op::Press, 300, 300, R, Idle}, {Op::Move, 300, 300, R, Idle}},
                 Three,
                 true,
                 true},
        Scenario{"both_buttons_over_a_point_delete_only",
                 Three,
                 {{Op::Move, 300, 300, None, Idle}, {Op::Press, 300, 300, R, Idle}, {Op::Move, 100, 100, LR, Idle}},
                 {{0, 100, 0}, {200, 100, 0}},
                 true,
                 false},
        Scenario{"double_click_appends_two_coincident_points",
                 {{0, 0, 0}},
                 {{Op::Move, 0, 0, None, AppendAtEnd},
                  {Op::Move, 50, 50, None, AppendAtEnd},
                  {Op::Press, 50, 50, L, AppendAtEnd},
                  {Op::Press, 50, 50, L, AppendAtEnd}},
                 {{0, 0, 0}, {50, 50, 0}, {50, 50, 0}},
                 true,
                 false},
        Scenario{"double_click_on_segment_inserts_two",
                 Three,
                 {{Op::Move, 50, 103, None, Idle}, {Op::Press, 50, 103, L, Idle}, {Op::Press, 50, 103, L, Idle}},
                 {{0, 100, 0}, {50, 103, 0}, {50, 103, 0}, {100, 100, 0}, {200, 100, 0}},
                 true,
                 false},
        Scenario{"escape_disarms",
                 Three,
                 {{Op::Move, 200, 100, None, AppendAtEnd},
                  {Op::Move, 300, 300, None, AppendAtEnd},
                  {Op::Escape, 0, 0, None, Idle},
                  {Op::Press, 300, 300, L, Idle}},
                 Three,
                 false,
                 true},
        Scenario{"f3_ignored_with_one_point",
                 {{0, 0, 0}},
                 {{Op::Move, 0, 0, None, AppendAtEnd}, {Op::F3, 0, 0, None, AppendAtEnd}},
                 {{0, 0, 0}},
                 false,
                 true},
        Scenario{"f3_stops_and_stopped_acts_as_idle",
                 Three,
                 {{Op::Move, 0, 100, None, InsertAtFront},
                  {Op::F3, 0, 0, None, Stopped},
                  {Op::Move, 300, 300, None, Stopped},
                  {Op::Press, 300, 300, L, Stopped}},
                 Three,
                 false,
                 true},
        Scenario{"f3_wins_over_escape", Three, {{Op::EscapeAndF3, 0, 0, None, Stopped}}, Three, false, true},
        // The sample still names segment 1 and point 2 of the cleared list.
        Scenario{"stale_segment_after_clear_inserts_nothing",
                 Three,
                 {{Op::Move, 150, 103, None, Idle}, {Op::Clear, 0, 0, None, Idle}, {Op::Press, 150, 103, L, AppendAtEnd}},
                 {},
                 false,
                 true},
        Scenario{"stale_point_after_clear_deletes_nothing",
                 Three,
                 {{Op::Move, 200, 100, None, AppendAtEnd}, {Op::Clear, 0, 0, None, Idle}, {Op::Press, 200, 100, R, Idle}},
                 {},
                 false,
                 true}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

TEST(EditorEffects, EachRuleAsksForItsComposeRepaintAndPan)
{
    Editor e;
    e.Move(50, 50);
    e.Press(50, 50, L); // append
    EXPECT_EQ(e.fx.calls, (std::vector<std::string>{"render"}));

    e.fx.calls.clear();
    e.points = {{0, 100, 0}, {100, 100, 0}};
    e.mode = Idle;
    e.Move(50, 103);
    e.Press(50, 103, L); // insert: shown by the next tick's repaint
    EXPECT_TRUE(e.fx.calls.empty());

    e.Move(50, 103);
    e.Press(50, 103, L); // on the inserted point: drag
    e.Move(52, 104, L);
    EXPECT_EQ(e.fx.calls, (std::vector<std::string>{"render", "repaint"}));

    e.fx.calls.clear();
    e.Move(300, 300);
    e.Press(300, 300, R);
    e.Move(301, 300, R);
    EXPECT_EQ(e.fx.calls, (std::vector<std::string>{"pan"}));
}

TEST(EditorPlacement, NewPointsAreUnzoomedCursorOffsets)
{
    Editor e;
    e.view.ZoomFactor = 2.0;
    e.view.ViewOriginX = 10;
    e.view.ViewOriginY = 10;
    e.Move(31, 50);
    e.Press(31, 50, L);
    ASSERT_EQ(e.points.size(), 1u);
    EXPECT_EQ(e.points[0].x, 10.5);
    EXPECT_EQ(e.points[0].y, 20.0);
    EXPECT_EQ(e.points[0].z, 0.0);
}

TEST(EditorPlacement, PressActsOnTheSampleNotTheEventPosition)
{
    // A zoom between the move and the press changes neither the sample nor where the point goes.
    Editor e;
    e.Move(40, 30);
    e.view.ZoomFactor = 4.0;
    e.view.ViewOriginX = -100;
    e.Press(90, 90, L);
    ASSERT_EQ(e.points.size(), 1u);
    EXPECT_EQ(e.points[0].x, 40.0 / 4.0);
    EXPECT_EQ(e.points[0].y, 30.0 / 4.0);
    EXPECT_EQ(e.view.PanAnchorX, 90);
    EXPECT_EQ(e.view.PanAnchorY, 90);
    EXPECT_EQ(e.view.CursorPos, (TClientPoint{40, 30}));
}

TEST(EditorPlacement, DraggedPointKeepsItsZ)
{
    Editor e;
    e.points = {{0, 0, 0}, {100, 0, 7.0}}; // z is never written by a drag
    e.Move(100, 0);
    e.Press(100, 0, L);
    e.Move(103, 2, L);
    EXPECT_EQ(e.points[1].x, 103);
    EXPECT_EQ(e.points[1].y, 2);
    EXPECT_EQ(e.points[1].z, 7.0);
}

} // namespace
