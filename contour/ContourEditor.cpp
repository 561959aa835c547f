#include "ContourEditor.h"

#include "HitTest.h"

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

} // namespace

void CursorViewPosition(const TViewState& view, const THitState& hit, double& x, double& y)
{
    x = static_cast<double>(hit.CursorViewOffsetX) / view.ZoomFactor;
    y = static_cast<double>(hit.CursorViewOffsetY) / view.ZoomFactor;
}

void EditorMouseMove(const TEditorModel& model, TClientPoint cursor, TMouseButtons held, int X, int Y,
                     TEditorEffects& effects)
{
    model.View.CursorPos = cursor;
    model.Hit = SampleCursor(cursor, model.View);
    model.Hit.HotPointIndex = FindHotPoint(cursor, model.View, model.Points);
    const int hot = model.Hit.HotPointIndex;

    // Deleting while the right button is held: nothing else happens in this event.
    if (hot >= 0 && held.Right) {
        DeleteContourPoint(model.Points, hot);
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
        TContourPoint& p = model.Points[hot];
        CursorViewPosition(model.View, model.Hit, p.x, p.y);
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

    const int hot = model.Hit.HotPointIndex;
    if (hot >= 0 && held.Left)
        model.Mode = DragPoint;

    if (hot >= 0 && held.Right) {
        // The sample may predate an emptied list; only a point that still exists is deleted.
        if (hot >= Count(model))
            return;
        DeleteContourPoint(model.Points, hot);
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
        AppendContourPoint(model.Points, x, y);
        MarkContourChanged(model);
        effects.RenderView();
    }
    if (model.Mode == InsertAtFront && held.Left && segment == -1) {
        PrependContourPoint(model.Points, x, y);
        MarkContourChanged(model);
        effects.RenderView();
    }
    // Any button on a segment inserts, but only into a segment of the current list.
    if (segment >= 0 && model.Hit.HotPointIndex == -1 && segment + 1 <= Count(model) - 1) {
        InsertContourPoint(model.Points, segment + 1, x, y);
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
