#include "Chart.h"

#include "ErrorHandler.h"
#include "QtChartCanvas.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>
#include <QWheelEvent>

#include <optional>

namespace {
std::optional<TChartMouseButton> chartButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return TChartMouseButton::mbLeft;
    case Qt::RightButton: return TChartMouseButton::mbRight;
    case Qt::MiddleButton: return TChartMouseButton::mbMiddle;
    default: return std::nullopt;
    }
}
} // namespace

TChart::TChart(QWidget* parent) : QWidget(parent)
{
    // Every paint covers the whole client area, so the toolkit need not erase it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(400, 250);
}

void TChart::Invalidate()
{
    TCustomAxisPanel::Invalidate();
    update();
}

void TChart::Repaint()
{
    Invalidate();
    if (painting_ > 0)
        paintBitmap(); // the toolkit refuses a nested paint; the outer one copies what this draws
    else
        repaint();
}

void TChart::DrawChart(QImage& image)
{
    const QLocale locale;
    Separators = {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
    const QSize client = image.deviceIndependentSize().toSize();
    TQtChartCanvas canvas(&image);
    TCustomAxisPanel::DrawChart(canvas, client.width(), client.height());
}

bool TChart::bitmapFits() const
{
    const qreal ratio = devicePixelRatio();
    return bitmap_.devicePixelRatio() == ratio && bitmap_.size() == bitmapSize(size(), ratio);
}

QSize TChart::bitmapSize(QSize client, qreal ratio)
{
    return QSize(qCeil(client.width() * ratio), qCeil(client.height() * ratio));
}

void TChart::paintBitmap()
{
    if (!bitmapFits()) {
        // At the screen's pixel ratio, so that labels and markers are as sharp as the screen allows;
        // everything is still laid out in logical pixels.
        const qreal ratio = devicePixelRatio();
        bitmap_ = QImage(bitmapSize(size(), ratio), QImage::Format_RGB32);
        bitmap_.setDevicePixelRatio(ratio);
        shown_.reset();
    }
    // Cleared first: a repaint request made while drawing must not be lost.
    Dirty = false;
    ++painting_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{painting_};
    const QLocale locale;
    Separators = {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
    const QSize client = bitmap_.deviceIndependentSize().toSize();
    // Recorded first, then only what differs from the bitmap's drawing is drawn (a dragged point,
    // nothing at all). A drawing that the after-draw notification replaced at once by a newer one
    // (the equal-scale adjustment) is not drawn at all: the newer one covers every pixel of it.
    TQtChartCanvas measure(&bitmap_);
    TRecordingCanvas canvas(measure, shown_ ? shown_->ops.size() : 0);
    const int drawing = ++drawings_;
    TCustomAxisPanel::DrawChart(canvas, client.width(), client.height());
    if (drawing != drawings_)
        return;
    TQtChartCanvas target(&bitmap_);
    canvas.Show(target, shown_);
}

void TChart::paintEvent(QPaintEvent*)
{
    platform::Guarded([this] {
        if (Dirty || !bitmapFits())
            paintBitmap();
    });
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, bitmap_);
}

void TChart::resizeEvent(QResizeEvent*)
{
    platform::Guarded([this] {
        if (OnResize)
            OnResize();
        Invalidate();
    });
}

void TChart::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    platform::Guarded([&] {
        if (const auto b = chartButton(event->button()))
            ChartMouseDown(*b, p.x(), p.y());
    });
}

void TChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    platform::Guarded([&] {
        if (OnMouseMove)
            OnMouseMove(p.x(), p.y());
        ChartMouseMove(p.x(), p.y());
    });
}

void TChart::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    platform::Guarded([&] {
        if (const auto b = chartButton(event->button()))
            ChartMouseUp(*b, p.x(), p.y());
    });
}

void TChart::leaveEvent(QEvent*)
{
    ChartMouseLeave();
}

void TChart::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    platform::Guarded([&] {
        if (delta == 0)
            return;
        if (OnMouseWheel)
            OnMouseWheel(delta > 0);
        ChartMouseWheel(delta > 0);
    });
    // The window's own wheel handling comes after the chart's.
    event->ignore();
}

void TChart::DrawZoomRectangleOnWindow()
{
    // The bitmap is what the window shows; inverting it and copying it out is drawing on the window.
    if (!bitmapFits())
        return;
    {
        TQtChartCanvas canvas(&bitmap_);
        DrawZoomRectangle(canvas);
    }
    shown_.reset();
    update();
}
