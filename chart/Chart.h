#pragma once

#include "ChartPanel.h"
#include "RecordingCanvas.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

/// The chart control: the toolkit-free chart drawn into an off-screen bitmap that a paint only copies
/// while it is clean, with the mouse, wheel and resize events wired to the chart's rules.
class TChart final : public QWidget, public TCustomAxisPanel {
    Q_OBJECT
public:
    explicit TChart(QWidget* parent = nullptr);

    /// Marks the bitmap dirty and schedules a paint.
    void Invalidate() override;
    /// Marks the bitmap dirty and paints at once; inside a paint the bitmap is drawn again at once.
    void Repaint() override;

    using TCustomAxisPanel::DrawChart;
    /// One complete drawing into an image; its size in logical pixels stands for the client size.
    void DrawChart(QImage& image);
    /// The off-screen bitmap as the last paint left it, at the screen's device pixel ratio.
    const QImage& Bitmap() const { return bitmap_; }

    /// The control's own events, called before the chart's handling of the same event.
    std::function<void(int X, int Y)> OnMouseMove;
    std::function<void()> OnResize;
    /// `up` for a turn away from the user.
    std::function<void(bool up)> OnMouseWheel;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void DrawZoomRectangleOnWindow() override;

private:
    void paintBitmap();
    /// Whether the bitmap has the client's size at the screen's current pixel ratio.
    bool bitmapFits() const;
    static QSize bitmapSize(QSize client, qreal ratio);

    QImage bitmap_;
    int painting_ = 0;
    /// The drawing the bitmap shows, so that a repaint draws only what changed; none when unknown.
    std::optional<TDrawing> shown_;
    int drawings_ = 0; ///< drawings begun, so that a drawing knows whether a newer one replaced it
};
