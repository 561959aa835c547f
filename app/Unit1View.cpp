// Picture, view transform and painting of the main window.
#include "Unit1.h"

#include "Canvas.h"
#include "ExCanvasTools.h"
#include "ImageDocument.h"
#include "JpegDecoder.h"
#include "MainViewPaint.h"
#include "ViewTransform.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QImage>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const QString OpenFilter = QStringLiteral("*.bmp , *.jpg|*.bmp;*.jpg|Bitmaps *.bmp|*.bmp|JPG *.jpg|*.JPG");

/// The busy cursor for the time of a load, restored however the load ends.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

void WheelStep(TForm1& form, int direction)
{
    const bool shift = platform::KeyHeld(platform::Key::Shift);
    const bool ctrl = platform::KeyHeld(platform::Key::Control);
    switch (WheelNotification(View, direction, shift, ctrl)) {
    case TWheelAction::Rotate:
        form.RotateView(direction);
        break;
    case TWheelAction::Zoom:
        form.ZoomView(direction);
        break;
    case TWheelAction::None:
        break;
    }
}

/// The file name's extension with its dot, in upper case; empty when it has none.
QString UpperExtension(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

/// A view point on the client before saturation: the rounding of ViewToClient, kept in doubles so
/// that far points still give segments their true direction.
struct TClientF {
    double x;
    double y;
};

TClientF ClientExact(const TContourPoint& p)
{
    return {View.ViewOriginX + std::nearbyint(p.x * View.ZoomFactor), View.ViewOriginY + std::nearbyint(p.y * View.ZoomFactor)};
}

// Far beyond any screen, yet small enough that Qt's rasteriser takes the coordinates exactly.
constexpr double FarClient = 1 << 24;

bool Near(const TClientF& p)
{
    return std::abs(p.x) <= FarClient && std::abs(p.y) <= FarClient;
}

/// MoveTo a, LineTo b; a segment reaching beyond the far box is first cut to it (Liang-Barsky),
/// which changes no pixel on the client.
void Segment(Canvas& canvas, TClientF a, TClientF b)
{
    if (!Near(a) || !Near(b)) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        double t0 = 0.0, t1 = 1.0;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {a.x + FarClient, FarClient - a.x, a.y + FarClient, FarClient - a.y};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0.0) {
                if (q[i] < 0.0)
                    return;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0.0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
        if (!(t0 <= t1))
            return;
        b = {std::nearbyint(a.x + t1 * dx), std::nearbyint(a.y + t1 * dy)};
        a = {std::nearbyint(a.x + t0 * dx), std::nearbyint(a.y + t0 * dy)};
    }
    canvas.MoveTo(static_cast<int>(a.x), static_cast<int>(a.y));
    canvas.LineTo(static_cast<int>(b.x), static_cast<int>(b.y));
}

void DotAt(Canvas& canvas, TClientPoint c, int r)
{
    canvas.Ellipse(SaturatingAdd(c.x, -r), SaturatingAdd(c.y, -r), SaturatingAdd(c.x, r), SaturatingAdd(c.y, r));
}

/// False when the dot about c cannot touch the device: such dots are not drawn at all.
bool DotVisible(const TClientF& c, int r, const QSize& device)
{
    return c.x + r >= 0 && c.y + r >= 0 && c.x - r < device.width() && c.y - r < device.height();
}

void RubberBand(Canvas& canvas, const TContourPoint& from)
{
    const TColor saved = canvas.pen().color;
    canvas.SetPenColor(clRed);
    Segment(canvas, ClientExact(from), {double(View.CursorPos.x), double(View.CursorPos.y)});
    canvas.SetPenColor(saved);
}

} // namespace

void TForm1::Bildladen1Click()
{
    OpenDialog1.initialDirectory = platform::Current().ProgramDirectory();
    OpenDialog1.filter = OpenFilter;
    OpenDialog1.filterIndex = 0;
    const std::optional<QString> chosen = platform::Current().OpenFile(this, OpenDialog1);
    if (chosen) {
        Polygonlschen1->trigger();
        const QString extension = UpperExtension(*chosen);
        if (extension == QLatin1String(".BMP")) {
            // The old picture goes first: a failed read leaves an empty picture, not the old one.
            *SourceImage = QImage();
            TBusyCursor busy;
            *SourceImage = LoadBitmapFile(*chosen);
        } else if (extension == QLatin1String(".JPG")) {
            *SourceImage = QImage();
            try {
                TBusyCursor busy;
                *SourceImage = LoadJpegFile(*chosen);
            } catch (...) {
                RenderView();
                throw;
            }
            RenderView();
        }
    }
    ResetView();
}

void TForm1::Bildhorizontalspiegeln1Click()
{
    Polygonlschen1->trigger();
    MirrorHorizontal(*SourceImage);
    RenderView();
    Client->repaint();
}

void TForm1::Bildvertikalspiegeln1Click()
{
    Polygonlschen1->trigger();
    MirrorVertical(*SourceImage);
    RenderView();
    Client->repaint();
}

void TForm1::RenderView()
{
    if (!SourceImage || !ViewImage)
        return;
    QImage composed(frameGeometry().size(), QImage::Format_RGB32);
    if (!composed.isNull()) {
        Canvas canvas(&composed);
        canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
        canvas.SetBrushColor(clBtnFace);
        canvas.FillRect(0, 0, composed.width(), composed.height());
        DrawGraphicTransformed(canvas.Painter(), View.ViewOriginX, View.ViewOriginY, *SourceImage, View.ZoomFactor,
                               View.RotationAngle, false);
    }
    *ViewImage = std::move(composed);
}

void TForm1::ResetView()
{
    View.RotationAngle = 0.0;
    View.ViewOriginX = 0;
    View.ViewOriginY = 0;
    RenderView();
}

void TForm1::FormPaint()
{
    Canvas canvas(Client);
    PaintMainView(*this, canvas);
    if (PaintCoversClient)
        PaintedInputs.Take(Client->size(), Client->devicePixelRatioF());
    else
        PaintedInputs.Forget();
}

void PaintMainView(TForm1& form, Canvas& canvas)
{
    if (ViewImage && !ViewImage->isNull())
        canvas.Draw(0, 0, *ViewImage);
    const int n = static_cast<int>(ContourPoints.size());
    const int r = View.PointRadius;
    if (n >= 1) {
        const TColor saved = canvas.pen().color;
        canvas.SetPenColor(clRed);
        const QPaintDevice* device = canvas.Painter().device();
        const QSize size = device ? QSize(device->width(), device->height()) : QSize();
        for (int i = 0; i < n; ++i) {
            const TContourPoint& p = ContourPoints[i];
            if (!DotVisible(ClientExact(p), r, size))
                continue;
            canvas.SetBrushColor(i == Hit.HotPointIndex ? clGreen : clBtnFace);
            canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
            DotAt(canvas, ViewToClient(View, p.x, p.y), r);
        }
        for (int i = 1; i < n; ++i)
            Segment(canvas, ClientExact(ContourPoints[i - 1]), ClientExact(ContourPoints[i]));
        canvas.SetPenColor(saved);
    }
    if (CursorDotVisible)
        form.DrawCursorDot(canvas);
    if (EditMode == AppendAtEnd && n >= 1)
        RubberBand(canvas, ContourPoints[n - 1]);
    if (EditMode == InsertAtFront && n >= 1)
        RubberBand(canvas, ContourPoints[0]);
}

void TForm1::FormResize()
{
    if (!IsDestroying)
        RenderView();
}

void TForm1::DrawCursorDot(Canvas& canvas)
{
    canvas.SetBrushColor(Hit.HotSegmentIndex == -1 ? clRed : clYellow);
    canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
    DotAt(canvas, View.CursorPos, View.PointRadius);
    canvas.SetPenMode(Canvas::PenMode::Copy);
}

void TForm1::FormMouseWheelUp()
{
    WheelStep(*this, +1);
}

void TForm1::FormMouseWheelDown()
{
    WheelStep(*this, -1);
}

void TForm1::HandleWheel(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int notches =
        WheelFractions.Add(WheelNotificationDelta(delta.x(), delta.y(), event->modifiers().testFlag(Qt::AltModifier)));
    event->accept();
    for (int i = 0; i < notches; ++i)
        FormMouseWheelUp();
    for (int i = 0; i > notches; --i)
        FormMouseWheelDown();
}

void TForm1::ZoomView(int direction)
{
    ZoomStep(View, direction);
    ProfileDirty = true;
    RenderView();
    Client->repaint();
}

void TForm1::RotateView(int direction)
{
    const double before = View.RotationAngle;
    RotateStep(View, direction, ContourPoints);
    // The history turns the points it holds as RotateStep turned the list, when it needs them.
    const double t = -(View.RotationAngle - before) / 57.29577951308232;
    ContourHistory.Transformed([t](TContourPoint& p) { RotatePointAboutAxis(p, TContourPoint{}, 2, t); });
    ProfileDirty = true;
    RenderView();
    Client->repaint();
}

void TForm1::PanView(int X, int Y)
{
    PanStep(View, X, Y);
    ProfileDirty = true;
    RenderView();
    Client->repaint();
}
