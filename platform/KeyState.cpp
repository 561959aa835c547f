#include "KeyState.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>

namespace platform {
namespace {

class KeyTracker final : public QObject {
public:
    bool escape = false;
    bool f3 = false;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool down = event->type() == QEvent::KeyPress;
            if (key->key() == Qt::Key_Escape)
                escape = down;
            else if (key->key() == Qt::Key_F3)
                f3 = down;
        } else if (event->type() == QEvent::ApplicationDeactivate) {
            // Releases that happen elsewhere are not seen; forget the keys rather than keep them stuck.
            escape = f3 = false;
        }
        return QObject::eventFilter(watched, event);
    }
};

KeyTracker* tracker = nullptr;

#ifdef ZOVORI_HAVE_X11
// Defined at the end of the file: Xlib's macros must not reach the Qt code above it.
bool X11KeyHeld(Key key, bool& known);
#endif

} // namespace

void StartKeyTracking()
{
    if (tracker || !QCoreApplication::instance())
        return;
    tracker = new KeyTracker;
    tracker->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(tracker);
}

bool PhysicalKeyHeld(Key key)
{
#ifdef ZOVORI_HAVE_X11
    bool known = false;
    const bool held = X11KeyHeld(key, known);
    if (known)
        return held;
#endif
    if (!tracker)
        return false;
    return key == Key::Escape ? tracker->escape : tracker->f3;
}

} // namespace platform

#ifdef ZOVORI_HAVE_X11
#include <QGuiApplication>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace platform {
namespace {
bool X11KeyHeld(Key key, bool& known)
{
    known = false;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    const KeyCode code = XKeysymToKeycode(display, key == Key::Escape ? XK_Escape : XK_F3);
    if (code == 0)
        return false;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    known = true;
    return (keys[code / 8] >> (code % 8)) & 1;
}
} // namespace
} // namespace platform
#endif
