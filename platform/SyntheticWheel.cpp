#include "SyntheticWheel.h"

#include "Services.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

namespace platform {
namespace {

class TWheelForwarder final : public QObject {
public:
    TWheelForwarder(QWidget* from, QWidget* to) : QObject(from), to_(to) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || !to_)
            return QObject::eventFilter(watched, event);
        const auto* wheel = static_cast<QWheelEvent*>(event);
        QWheelEvent forwarded(to_->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                              wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(), wheel->modifiers(),
                              wheel->phase(), wheel->inverted(), wheel->source());
        QCoreApplication::sendEvent(to_, &forwarded);
        return true;
    }

private:
    QPointer<QWidget> to_;
};

} // namespace

void ForwardWheel(QWidget* from, QWidget* to)
{
    if (from && to)
        from->installEventFilter(new TWheelForwarder(from, to));
}

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
