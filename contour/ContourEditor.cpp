#include "ContourEditor.h"

#include "HitTest.h"

#include <stdexcept>

namespace {

void MarkContourChanged(const TEditorModel& model)
{
    model.ProfileSaved = false;
    model.ProfileDirty = true;
}

int Count(const TEditorModel& model)
{
    return static_cast<int>(model.Points.size());
}

// The list operations, recorded when the model has a history.
void Append(const TEditorModel& model, double x, double y)
{
    if (model.History)
        model.History->Append(model.Points, x, y);
    else
        AppendContourPoint(model.Points, x, y);
}

void Prepend(const TEditorModel& model, double x, double y)
{
    if (model.History)
        model.History->Prepend(model.Points, x, y);
    else
        PrependContourPoint(model.Points, x, y);
}

void Insert(const TEditorModel& model, int index, double x, double y)
{
    if (model.History)
        model.History->Insert(model.Points, index, x, y);
    else
        InsertContourPoint(model.Points, index, x, y);
}

void Delete(const TEditorModel& model, int index)
{
    if (model.History)
        model.History->Delete(model.Points, index);
    else
        DeleteContourPoint(model.Points, index);
}

void MovePoint(const TEditorModel& model, int index, double x, double y)
{
    if (model.History) {
        model.History->Move(model.Points, index, x, y);
    } else {
        model.Points[index].x = x;
        model.Points[index].y = y;
    }
}

/// A change made by a move joins the gesture's step; a move that no press began starts one.
void JoinGesture(const TEditorModel& model, TMouseButtons held)
{
    if (model.History)
        model.History->EnsureGesture(held.Left, held.Right);
}

bool AfterHistoryStep(const TEditorModel& model, TClientPoint cursor, TEditorEffects& effects, bool stepped)
{
    if (!stepped)
        return false;
    MarkContourChanged(model);
    model.View.CursorPos = cursor;
    model.Hit = HitTestContour(cursor, model.View, model.Points);
    const bool armedEnd = model.Mode == AppendAtEnd || model.Mode == InsertAtFront;
    if (!armedEnd || model.Points.empty())
        model.Mode = Idle;
    effects.Repaint();
    return true;
}

} // namespace

void CursorViewPosition(const TViewState& view, const THitState& hit, double& x, double& y)
{
    x = static_cast<double>(hit.CursorViewOffsetX) / view.ZoomFactor;
    y = static_cast<double>(hit.CursorViewOffsetY) / view.ZoomFactor;
}

void EditorMouseMove(const TEditorModel& model, TClientPoint cursor, TMouseButtons held, int X, int Y,
                     TEditorEffects& effects)
{
    // The first move without a button held at the press ends that gesture's step.
    if (model.History)
        model.History->GestureMove(held.Left, held.Right);

    model.View.CursorPos = cursor;
    model.Hit = SampleCursor(cursor, model.View);
    model.Hit.HotPointIndex = FindHotPoint(cursor, model.View, model.Points);
    const int hot = model.Hit.HotPointIndex;

    // Deleting while the right button is held: nothing else happens in this event.
    if (hot >= 0 && held.Right) {
        JoinGesture(model, held);
        Delete(model, hot);
        model.Hit.HotPointIndex = -1;
        MarkContourChanged(model);
        model.Mode = Idle;
        effects.RenderView();
        return;
    }

    // Resting on an end arms extending there; with one point both apply and the end wins.
    if (hot == 0 && !held.Left)
        model.Mode = InsertAtFront;
    // An empty list arms appending too: no point is hot and -1 == 0 - 1.
    if (hot == Count(model) - 1 && !held.Left)
        model.Mode = AppendAtEnd;
    if (hot >= 0 && held.Left)
        model.Mode = DragPoint;
    if (model.Mode == DragPoint && hot >= 0 && !held.Left)
        model.Mode = Idle;

    model.Hit.HotSegmentIndex = FindHotSegment(cursor, model.View, model.Points);

    if (model.Mode == DragPoint && hot >= 0 && held.Left) {
        double x = 0.0, y = 0.0;
        CursorViewPosition(model.View, model.Hit, x, y);
        JoinGesture(model, held);
        MovePoint(model, hot, x, y);
        MarkContourChanged(model);
        effects.RenderView();
        effects.Repaint();
    }

    if (held.Right) {
        effects.PanView(X, Y);
        model.ProfileDirty = true;
        model.Mode = model.SavedMode;
    }
}

void EditorMouseDown(const TEditorModel& model, TMouseButtons held, int X, int Y, TEditorEffects& effects)
{
    model.View.PanAnchorX = X;
    model.View.PanAnchorY = Y;
    model.SavedMode = model.Mode;
    // Whatever this press and the moves until its release change is one step.
    if (model.History)
        model.History->BeginGesture(held.Left, held.Right);

    const int hot = model.Hit.HotPointIndex;
    if (hot >= 0 && held.Left)
        model.Mode = DragPoint;

    if (hot >= 0 && held.Right) {
        // The sample may predate an emptied list; only a point that still exists is deleted.
        if (hot >= Count(model))
            return;
        Delete(model, hot);
        model.Hit.HotPointIndex = -1;
        MarkContourChanged(model);
        model.Mode = Idle;
        effects.RenderView();
        return;
    }

    if (held.Left && model.Points.empty())
        model.Mode = AppendAtEnd;

    double x = 0.0, y = 0.0;
    CursorViewPosition(model.View, model.Hit, x, y);
    const int segment = model.Hit.HotSegmentIndex;

    if (model.Mode == AppendAtEnd && held.Left && segment == -1) {
        Append(model, x, y);
        MarkContourChanged(model);
        effects.RenderView();
    }
    if (model.Mode == InsertAtFront && held.Left && segment == -1) {
        Prepend(model, x, y);
        MarkContourChanged(model);
        effects.RenderView();
    }
    // Any button on a segment inserts, but only into a segment of the current list.
    if (segment >= 0 && model.Hit.HotPointIndex == -1 && segment + 1 <= Count(model) - 1) {
        Insert(model, segment + 1, x, y);
        MarkContourChanged(model);
        model.Mode = Idle;
    }
}

void EditorTickKeys(TEditMode& mode, const TContourPointArray& points, bool escapeHeld, bool f3Held)
{
    if (escapeHeld)
        mode = Idle;
    if (f3Held && points.size() >= 2)
        mode = Stopped;
}

void EditorClearContour(const TEditorModel& model)
{
    if (model.History)
        model.History->Clear(model.Points);
    else
        model.Points.clear();
    model.Mode = Idle;
}

bool EditorUndo(const TEditorModel& model, TClientPoint cursor, TEditorEffects& effects)
{
    return AfterHistoryStep(model, cursor, effects, model.History && model.History->Undo(model.Points));
}

bool EditorRedo(const TEditorModel& model, TClientPoint cursor, TEditorEffects& effects)
{
    return AfterHistoryStep(model, cursor, effects, model.History && model.History->Redo(model.Points));
}

int EditorMovePoints(const TEditorModel& model, const std::vector<TPointMove>& moves)
{
    for (const TPointMove& m : moves)
        if (m.Index < 0 || m.Index >= Count(model))
            throw std::out_of_range("EditorMovePoints: index outside the contour");
    if (model.History)
        model.History->CloseStep();
    int moved = 0;
    for (const TPointMove& m : moves) {
        const TContourPoint& p = model.Points[m.Index];
        if (p.x == m.X && p.y == m.Y)
            continue;
        MovePoint(model, m.Index, m.X, m.Y);
        ++moved;
    }
    if (model.History)
        model.History->CloseStep();
    if (moved > 0)
        MarkContourChanged(model);
    return moved;
}
