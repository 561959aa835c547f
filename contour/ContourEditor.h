#pragma once

#include "ContourHistory.h"
#include "ContourPoints.h"
#include "EditMode.h"
#include "HitState.h"
#include "ViewMapping.h"

#include <vector>

/// The contour editing state machine: mouse presses, mouse moves and the two polled keys turn into
/// changes of the contour, the editing mode, the view and the two flags shared with the review
/// window. It knows no window; what the window must do is asked of TEditorEffects.

/// The module state the rules read and write, bound by reference to wherever it lives.
struct TEditorModel {
    TContourPointArray& Points;
    TViewState& View;
    THitState& Hit;
    TEditMode& Mode;
    TEditMode& SavedMode;
    bool& ProfileDirty; ///< set by every contour change and pan step
    bool& ProfileSaved; ///< cleared by every contour change
    /// Records every contour change for undo and redo; without one the edits are not undoable.
    TContourHistory* History = nullptr;
};

/// The buttons held at an event; in a press the pressed button counts as held.
struct TMouseButtons {
    bool Left = false;
    bool Right = false;
};

/// The window's side of the rules, called at the point of the rule that needs it.
class TEditorEffects {
public:
    virtual ~TEditorEffects() = default;
    /// Composes the picture layer again.
    virtual void RenderView() = 0;
    /// Repaints the window at once.
    virtual void Repaint() = 0;
    /// One pan step to the move event's own position, with its compose and repaint.
    virtual void PanView(int X, int Y) = 0;
};

/// A mouse move: samples the cursor (client pixels), then applies the move rules. X and Y are the
/// event's own coordinates, used only by the pan step.
void EditorMouseMove(const TEditorModel& model, TClientPoint cursor, TMouseButtons held, int X, int Y,
                     TEditorEffects& effects);

/// A mouse press at the event position (X, Y): acts on the last sample, without testing again.
void EditorMouseDown(const TEditorModel& model, TMouseButtons held, int X, int Y, TEditorEffects& effects);

/// The timer's key rules: Escape disarms, F3 stops when there are at least two points (F3 wins).
void EditorTickKeys(TEditMode& mode, const TContourPointArray& points, bool escapeHeld, bool f3Held);

/// The unzoomed view coordinates of the last sampled cursor, which new and moved points receive.
void CursorViewPosition(const TViewState& view, const THitState& hit, double& x, double& y);

/// "Polygon löschen": empties the list as one undoable step and sets Idle. The hit sample and the
/// two flags are left alone.
void EditorClearContour(const TEditorModel& model);

/// Undo and redo of one step (Ctrl+Z; Ctrl+Y and Ctrl+Shift+Z). The picture and the view stay as
/// they are. After a step: ProfileDirty set, ProfileSaved cleared, the hot point and segment
/// sampled afresh at `cursor` (client pixels), an armed end kept armed while the list has points,
/// any other mode Idle, and a repaint. False, with nothing changed, when there is no step.
bool EditorUndo(const TEditorModel& model, TClientPoint cursor, TEditorEffects& effects);
bool EditorRedo(const TEditorModel& model, TClientPoint cursor, TEditorEffects& effects);

/// One point's new place for EditorMovePoints: x and y in view coordinates; z is kept.
struct TPointMove {
    int Index = 0;
    double X = 0.0;
    double Y = 0.0;
};

/// Moves several points as one undoable step, in the order given (a later move of the same index
/// wins). Only points whose x or y actually changes count: when at least one does, ProfileDirty is
/// set and ProfileSaved cleared; when none does, nothing at all happens (no step, no flag, the redo
/// steps kept). Returns the number of moves that changed a point. Throws std::out_of_range, before
/// changing anything, when an index is outside the list. Composes and repaints nothing: the caller
/// shows the result.
int EditorMovePoints(const TEditorModel& model, const std::vector<TPointMove>& moves);
