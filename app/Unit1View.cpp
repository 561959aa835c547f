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

/// Fractions of a notch from high-resolution wheels, kept between events.
TWheelAccumulator WheelFractions;

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

void DotAt(Canvas& canvas, TClientPoint c, int r)
{
    canvas.Ellipse(SaturatingAdd(c.x, -r), SaturatingAdd(c.y, -r), SaturatingAdd(c.x, r), SaturatingAdd(c.y, r));
}

void RubberBand(Canvas& canvas, const TContourPoint& from)
{
    const TColor saved = canvas.pen().color;
    canvas.SetPenColor(clRed);
    const TClientPoint a = ViewToClient(View, from.x, from.y);
    canvas.MoveTo(a.x, a.y);
    canvas.LineTo(View.CursorPos.x, View.CursorPos.y);
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
        for (int i = 0; i < n; ++i) {
            canvas.SetBrushColor(i == Hit.HotPointIndex ? clGreen : clBtnFace);
            canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
            DotAt(canvas, ViewToClient(View, ContourPoints[i].x, ContourPoints[i].y), r);
        }
        if (n >= 2) {
            const TClientPoint first = ViewToClient(View, ContourPoints[0].x, ContourPoints[0].y);
            canvas.MoveTo(first.x, first.y);
            for (int i = 1; i < n; ++i) {
                const TClientPoint c = ViewToClient(View, ContourPoints[i].x, ContourPoints[i].y);
                canvas.LineTo(c.x, c.y);
            }
        }
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
    const int notches = WheelFractions.Add(event->angleDelta().y());
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
    RotateStep(View, direction, ContourPoints);
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
