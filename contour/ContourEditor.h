#pragma once

#include "ContourPoints.h"
#include "EditMode.h"
#include "HitState.h"
#include "ViewMapping.h"

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
