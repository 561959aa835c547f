#include "MenuBarKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace platform {
namespace {

/// The platform's style (Fusion here) leaves Alt alone to the application; the menu bar's own Alt
/// navigation runs only where the style asks for it, as Windows' style does.
class TAltNavigationStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    /// Fusion highlights a menu title only while its menu is open; a title the keyboard has selected
    /// (the menu bar holds the focus) is drawn as an open one, so that the user sees where he is.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && widget && widget->hasFocus() && (item->state & State_Selected)) {
            QStyleOptionMenuItem selected = *item;
            selected.state |= State_Sunken;
            QProxyStyle::drawControl(element, &selected, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

/// F10 on the window: the menu bar takes it as the tap of Alt alone that it already understands.
class TF10Key final : public QObject {
public:
    TF10Key(QMenuBar* menuBar, QWidget* window) : QObject(menuBar), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier && !key->isAutoRepeat()) {
                TapAlt();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void TapAlt()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::sendEvent(window_, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(window_, &release);
    }

    QWidget* window_;
};

/// Alt held for the wheel (Alt + wheel is a wheel notification) is no tap of Alt alone: the menu bar
/// forgets the pressed Alt at any mouse event, but a wheel is not among those it watches.
class TAltWheel final : public QObject {
public:
    explicit TAltWheel(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel &&
            static_cast<QWheelEvent*>(event)->modifiers().testFlag(Qt::AltModifier)) {
            QMouseEvent moved(QEvent::MouseMove, QPointF(), QPointF(), Qt::NoButton, Qt::NoButton, Qt::AltModifier);
            QCoreApplication::sendEvent(this, &moved);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void EnableMenuBarKeys(QMenuBar* menuBar)
{
    if (!menuBar)
        return;
    auto* style = new TAltNavigationStyle;
    style->setParent(menuBar);
    menuBar->setStyle(style);
    if (QWidget* window = menuBar->window(); window && window != menuBar)
        window->installEventFilter(new TF10Key(menuBar, window));
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(new TAltWheel(menuBar));
}

} // namespace platform
