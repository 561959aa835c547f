// Mouse and key gestures of the main window: a thin adapter over the contour editor.
#include "Unit1.h"

#include "ContourEditor.h"
#include "SyntheticWheel.h"

namespace {

class WindowEffects final : public TEditorEffects {
public:
    explicit WindowEffects(TForm1& form) : form_(form) {}
    void RenderView() override { form_.RenderView(); }
    void Repaint() override { form_.Client->repaint(); }
    void PanView(int X, int Y) override { form_.PanView(X, Y); }

private:
    TForm1& form_;
};

TMouseButtons Held(Qt::MouseButtons buttons)
{
    return {buttons.testFlag(Qt::LeftButton), buttons.testFlag(Qt::RightButton)};
}

} // namespace

TEditorModel Unit1EditorModel()
{
    return {ContourPoints, View, Hit, EditMode, SavedEditMode, ProfileDirty, ProfileSaved, &ContourHistory};
}

void TForm1::FormMouseMove(Qt::MouseButtons buttons, int X, int Y)
{
    // The cursor is read now, not taken from the event: the sample is where the mouse is.
    const QPoint cursor = Client->mapFromGlobal(platform::CursorPos());
    WindowEffects effects(*this);
    EditorMouseMove(Unit1EditorModel(), {cursor.x(), cursor.y()}, Held(buttons), X, Y, effects);
}

void TForm1::FormMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, int X, int Y)
{
    WindowEffects effects(*this);
    EditorMouseDown(Unit1EditorModel(), Held(buttons | button), X, Y, effects);
}

bool TForm1::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlag(Qt::ControlModifier) && !(modifiers & (Qt::AltModifier | Qt::MetaModifier))) {
        const bool shift = modifiers.testFlag(Qt::ShiftModifier);
        if (key == Qt::Key_Z && !shift) {
            Rckgngig1Click();
            return true;
        }
        if ((key == Qt::Key_Y && !shift) || (key == Qt::Key_Z && shift)) {
            Wiederholen1Click();
            return true;
        }
    }
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    int delta = 0;
    if (key == Qt::Key_Plus)
        delta = platform::WheelNotch;
    else if (key == Qt::Key_Minus)
        delta = -platform::WheelNotch;
    else
        return false;
    // With Ctrl the main keyboard's keys turn the other way; the keypad's keep their direction.
    if (!keypad && platform::KeyHeld(platform::Key::Control))
        delta = -delta;
    platform::PostWheelNotification(Client, delta);
    return true;
}

void TForm1::Rckgngig1Click()
{
    const QPoint cursor = Client->mapFromGlobal(platform::CursorPos());
    WindowEffects effects(*this);
    EditorUndo(Unit1EditorModel(), {cursor.x(), cursor.y()}, effects);
}

void TForm1::Wiederholen1Click()
{
    const QPoint cursor = Client->mapFromGlobal(platform::CursorPos());
    WindowEffects effects(*this);
    EditorRedo(Unit1EditorModel(), {cursor.x(), cursor.y()}, effects);
}
