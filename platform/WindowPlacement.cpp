#include "WindowPlacement.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

#ifdef ZOVORI_HAVE_X11
// Defined at the end of the file: Xlib's macros must not reach the Qt code above it.
bool X11FrameExtents(const QWidget* window, QMargins& device);
bool X11IsFrameExtentsChange(const void* xcbEvent, const QWidget* window);
#endif

/// Keeps one window centred until the user takes it elsewhere; owned by the window.
class TCentredPlacement final : public QObject, public QAbstractNativeEventFilter {
public:
    TCentredPlacement(QWidget* window, std::optional<QSize> outer) : QObject(window), window_(window), outer_(outer)
    {
        window->installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
        Place();
    }

    ~TCentredPlacement() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_) {
            switch (event->type()) {
            case QEvent::Show:
                if (!shown_) {
                    shown_ = true;
                    Place();
                    break;
                }
                [[fallthrough]];
            case QEvent::Move:
            case QEvent::Resize:
                FollowFrame();
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
#ifdef ZOVORI_HAVE_X11
        // The window manager may set the frame extents after every event Qt turns into a widget
        // event; only the property change itself says that the frame is now known.
        if (eventType == "xcb_generic_event_t" && window_ && X11IsFrameExtentsChange(message, window_)) {
            QPointer<TCentredPlacement> self(this);
            QTimer::singleShot(0, this, [self] {
                if (self)
                    self->FollowFrame();
            });
        }
#else
        (void)eventType;
        (void)message;
#endif
        return false;
    }

private:
    void Place()
    {
        const QScreen* screen = window_->screen();
        if (!screen)
            return;
        const QMargins frame = FrameMargins(window_);
        const QSize outer = outer_ ? *outer_ : window_->size().grownBy(frame);
        placed_ = CentredOuterRect(screen->availableGeometry(), outer).marginsRemoved(frame);
        frame_ = frame;
        if (window_->geometry() != placed_)
            window_->setGeometry(placed_);
    }

    /// A new frame moves a window that still stands where it was placed; one the user took elsewhere stays.
    void FollowFrame()
    {
        if (!shown_ || FrameMargins(window_) == frame_ || window_->geometry() != placed_)
            return;
        Place();
    }

    QWidget* window_;
    std::optional<QSize> outer_;
    QRect placed_;  ///< the client geometry of the last placement
    QMargins frame_; ///< the frame that placement allowed for
    bool shown_ = false;
};

} // namespace

QRect CentredOuterRect(const QRect& area, const QSize& outer)
{
    const int width = std::clamp(outer.width(), 0, area.width());
    const int height = std::clamp(outer.height(), 0, area.height());
    return QRect(area.left() + (area.width() - width) / 2, area.top() + (area.height() - height) / 2, width, height);
}

QMargins FrameMargins(const QWidget* window)
{
#ifdef ZOVORI_HAVE_X11
    QMargins device;
    if (X11FrameExtents(window, device)) {
        const double ratio = window->devicePixelRatioF();
        const auto logical = [ratio](int v) { return static_cast<int>(std::lround(v / ratio)); };
        return QMargins(logical(device.left()), logical(device.top()), logical(device.right()),
                        logical(device.bottom()));
    }
#endif
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

void KeepCentredOnScreen(QWidget* window, std::optional<QSize> outer)
{
    if (window)
        new TCentredPlacement(window, outer);
}

void ShowRestored(QWidget* window)
{
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace platform

#ifdef ZOVORI_HAVE_X11
#include <QGuiApplication>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace platform {
namespace {

Display* X11Display()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

Atom FrameExtentsAtom(Display* display)
{
    static const Atom atom = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    return atom;
}

bool X11FrameExtents(const QWidget* window, QMargins& device)
{
    Display* display = X11Display();
    if (!display || !window->testAttribute(Qt::WA_WState_Created))
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, static_cast<Window>(window->internalWinId()), FrameExtentsAtom(display), 0,
                                          4, False, XA_CARDINAL, &type, &format, &count, &after, &data);
    bool found = false;
    if (status == Success && type == XA_CARDINAL && format == 32 && count == 4 && data) {
        // Format 32 arrives as longs, whatever their width.
        const auto* v = reinterpret_cast<const long*>(data);
        device = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])); // left, right, top, bottom
        found = true;
    }
    if (data)
        XFree(data);
    return found;
}

bool X11IsFrameExtentsChange(const void* xcbEvent, const QWidget* window)
{
    const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY || !window->testAttribute(Qt::WA_WState_Created))
        return false;
    Display* display = X11Display();
    const auto* property = static_cast<const xcb_property_notify_event_t*>(xcbEvent);
    return display && property->window == static_cast<xcb_window_t>(window->internalWinId()) &&
           property->atom == FrameExtentsAtom(display);
}

} // namespace
} // namespace platform
#endif
