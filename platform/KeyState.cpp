#include "KeyState.h"

#include "TrackedInput.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSocketNotifier>

#include <chrono>

namespace platform {
namespace {

/// Escape and F3 as the application's own key events show them, where nothing better exists; and,
/// while the raw input of the X server is watched, the mouse events that may mean a moved pointer.
class KeyTracker final : public QObject {
public:
    bool escape = false;
    bool f3 = false;

    bool eventFilter(QObject* watched, QEvent* event) override;
};

KeyTracker* tracker = nullptr;
TTrackedInput tracked;
bool watchingRawInput = false;

#ifdef ZOVORI_HAVE_X11
// Defined at the end of the file: Xlib's macros must not reach the Qt code above it.
bool X11KeyHeld(Key key, bool& known);
#endif
#ifdef ZOVORI_HAVE_XI2
bool StartRawInput();
void ReadRawInput();
#endif

bool KeyTracker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool down = event->type() == QEvent::KeyPress;
        if (key->key() == Qt::Key_Escape)
            escape = down;
        else if (key->key() == Qt::Key_F3)
            f3 = down;
        break;
    }
    case QEvent::ApplicationDeactivate:
        // Releases that happen elsewhere are not seen; forget the keys rather than keep them stuck.
        escape = f3 = false;
        break;
    // A pointer warped by a program makes no raw motion, but it does reach the windows it enters and leaves.
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::DragMove:
        tracked.PointerMoved();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace

void StartKeyTracking()
{
    if (tracker || !QCoreApplication::instance())
        return;
    tracker = new KeyTracker;
    tracker->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(tracker);
#ifdef ZOVORI_HAVE_XI2
    watchingRawInput = StartRawInput();
#endif
}

bool PhysicalKeyHeld(Key key)
{
#ifdef ZOVORI_HAVE_XI2
    // The socket notifier reads every report as it arrives, so the state is current at any tick.
    if (watchingRawInput)
        return tracked.Held(key);
#endif
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

QPoint TrackedCursorPos()
{
    if (!watchingRawInput)
        return QCursor::pos();
    return tracked.Pointer([] { return QCursor::pos(); });
}

} // namespace platform

#ifdef ZOVORI_HAVE_X11
#include <X11/Xlib.h>
#include <X11/keysym.h>
#ifdef ZOVORI_HAVE_XI2
#include <X11/extensions/XInput2.h>
#endif

namespace platform {
namespace {

Display* QtDisplay()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

bool X11KeyHeld(Key key, bool& known)
{
    known = false;
    Display* display = QtDisplay();
    if (!display)
        return false;
    const KeyCode code = XKeysymToKeycode(display, key == Key::Escape ? XK_Escape : XK_F3);
    if (code == 0)
        return false;
    // One question to the server answers both keys of a tick.
    static char keys[32] = {};
    static std::chrono::steady_clock::time_point asked;
    const auto now = std::chrono::steady_clock::now();
    if (now - asked > std::chrono::milliseconds(2)) {
        XQueryKeymap(display, keys);
        asked = now;
    }
    known = true;
    return (keys[code / 8] >> (code % 8)) & 1;
}

#ifdef ZOVORI_HAVE_XI2
/// A connection of its own to the X server, on which the server reports every key and every pointer
/// motion of its devices (XInput 2 raw events, whichever program has the focus or a grab).
Display* rawDisplay = nullptr;
int xiOpcode = 0;

void ReadKeyCodes()
{
    tracked.SetKeyCodes(XKeysymToKeycode(rawDisplay, XK_Escape), XKeysymToKeycode(rawDisplay, XK_F3));
}

void ReadRawInput()
{
    while (XPending(rawDisplay) > 0) {
        XEvent event;
        XNextEvent(rawDisplay, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            ReadKeyCodes();
            continue;
        }
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != xiOpcode || !XGetEventData(rawDisplay, cookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        if (cookie->evtype == XI_RawKeyPress || cookie->evtype == XI_RawKeyRelease)
            tracked.KeyEvent(static_cast<unsigned>(raw->detail), cookie->evtype == XI_RawKeyPress);
        else if (cookie->evtype == XI_RawMotion)
            tracked.PointerMoved();
        XFreeEventData(rawDisplay, cookie);
    }
}

bool StartRawInput()
{
    Display* qtDisplay = QtDisplay();
    if (!qtDisplay)
        return false;
    rawDisplay = XOpenDisplay(DisplayString(qtDisplay));
    if (!rawDisplay)
        return false;
    int event = 0, error = 0;
    // Version 2.1 at least: older servers withhold raw events from everyone but a grabbing client.
    int major = 2, minor = 2;
    if (!XQueryExtension(rawDisplay, "XInputExtension", &xiOpcode, &event, &error) ||
        XIQueryVersion(rawDisplay, &major, &minor) != Success || major < 2 || (major == 2 && minor < 1)) {
        XCloseDisplay(rawDisplay);
        rawDisplay = nullptr;
        return false;
    }
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(mask, XI_RawKeyPress);
    XISetMask(mask, XI_RawKeyRelease);
    XISetMask(mask, XI_RawMotion);
    XIEventMask events{XIAllMasterDevices, static_cast<int>(sizeof mask), mask};
    XISelectEvents(rawDisplay, DefaultRootWindow(rawDisplay), &events, 1);
    ReadKeyCodes();
    // Keys already held when the program starts: the only time the keymap is asked for.
    char keys[32] = {};
    XQueryKeymap(rawDisplay, keys);
    tracked.SetKeymap(keys);
    auto* notifier = new QSocketNotifier(ConnectionNumber(rawDisplay), QSocketNotifier::Read, tracker);
    QObject::connect(notifier, &QSocketNotifier::activated, tracker, [] { ReadRawInput(); });
    return true;
}
#endif

} // namespace
} // namespace platform
#endif
