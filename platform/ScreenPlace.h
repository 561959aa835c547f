#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace platform {

/// Where a widget's corner lies on the screen, mapped again only when its window moved or the
/// widget moved inside it: mapping to the screen is most of what an idle tick costs, and the
/// window's geometry and the widget's place in it are plain fields to compare.
class TScreenPlace {
public:
    QPoint Of(const QWidget& widget);

private:
    QRect window_;
    QPoint inWindow_;
    QPoint onScreen_;
    bool known_ = false;
};

} // namespace platform
