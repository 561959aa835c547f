#include "ScreenPlace.h"

#include <QWidget>

namespace platform {

QPoint TScreenPlace::Of(const QWidget& widget)
{
    const QWidget& top = *widget.window();
    const QRect window = top.geometry();
    const QPoint inWindow = widget.mapTo(&top, QPoint(0, 0));
    if (!known_ || window_ != window || inWindow_ != inWindow) {
        window_ = window;
        inWindow_ = inWindow;
        onScreen_ = widget.mapToGlobal(QPoint(0, 0));
        known_ = true;
    }
    return onScreen_;
}

} // namespace platform
