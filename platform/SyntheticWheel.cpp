#include "SyntheticWheel.h"

#include "Services.h"

#include <QCoreApplication>
#include <QWheelEvent>
#include <QWidget>

namespace platform {

void PostWheelNotification(QWidget* target, int delta)
{
    if (!target)
        return;
    const QPointF global = CursorPos();
    const QPointF local = target->mapFromGlobal(global);
    // Qt drops events still queued for a receiver that is destroyed, so none reaches a dead window.
    auto* event = new QWheelEvent(local, global, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false, Qt::MouseEventSynthesizedByApplication);
    QCoreApplication::postEvent(target, event);
}

} // namespace platform
