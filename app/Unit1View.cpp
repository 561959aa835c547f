// Picture, view transform and painting of the main window.
#include "Unit1.h"

#include "BusyCursor.h"
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

/// A mirror of the picture, given in picture coordinates (the centre of pixel (i, j) at (i, j)), as
/// a change of the view coordinates of a view turned by `degrees`.
TContourAffine MirrorInView(const TContourAffine& mirror, double degrees)
{
    const double a = degrees / 57.29577951308232;
    return TContourAffine::Turn(-a).Then(mirror).Then(TContourAffine::Turn(a));
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
            PictureOrigin = TPictureOrigin{};
            TBusyCursor busy;
            *SourceImage = LoadBitmapFile(*chosen);
            PictureOrigin.Path = QFileInfo(*chosen).absoluteFilePath().toStdString();
        } else if (extension == QLatin1String(".JPG")) {
            *SourceImage = QImage();
            PictureOrigin = TPictureOrigin{};
            try {
                TBusyCursor busy;
                *SourceImage = LoadJpegFile(*chosen);
                PictureOrigin.Path = QFileInfo(*chosen).absoluteFilePath().toStdString();
            } catch (...) {
                RenderView();
                throw;
            }
            RenderView();
        }
    }
    const double turnedBy = View.RotationAngle;
    ResetView();
    // The contour was cleared and the view turned back: points it gets back from the history
    // belong on the picture's features, now in the unturned frame. After a cancel the list kept its
    // coordinates, and the history with it.
    if (chosen && turnedBy != 0.0)
        ContourHistory.Transformed(TContourAffine::Turn(-turnedBy / 57.29577951308232));
}

void TForm1::Bildhorizontalspiegeln1Click()
{
    Polygonlschen1->trigger();
    const qint64 mirroredKey = SourceImage->cacheKey();
    MirrorHorizontal(*SourceImage);
    // Cleared points come back onto the features they were set on, mirrored with the picture: pixel i
    // covers [i, i + 1), so the mirror maps x to width - x.
    ContourHistory.Transformed(MirrorInView({-1.0, 0.0, 0.0, 1.0, double(SourceImage->width()), 0.0}, View.RotationAngle));
    RecordMirror(TMirror::Horizontal, mirroredKey);
    RenderView();
    Client->repaint();
}

void TForm1::Bildvertikalspiegeln1Click()
{
    Polygonlschen1->trigger();
    const qint64 mirroredKey = SourceImage->cacheKey();
    MirrorVertical(*SourceImage);
    ContourHistory.Transformed(MirrorInView({1.0, 0.0, 0.0, -1.0, 0.0, double(SourceImage->height())}, View.RotationAngle));
    RecordMirror(TMirror::Vertical, mirroredKey);
    RenderView();
    Client->repaint();
}

void TForm1::RenderView()
{
    if (!SourceImage || !ViewImage)
        return;
    // Composed at the screen's resolution: on a dense screen a zoomed-out picture keeps its detail.
    // Its size in client pixels stays the outer size, and everything drawn on it stays in client pixels.
    const QSize outer = frameGeometry().size();
    const qreal ratio = devicePixelRatioF();
    QImage composed(static_cast<int>(std::ceil(outer.width() * ratio)), static_cast<int>(std::ceil(outer.height() * ratio)),
                    QImage::Format_RGB32);
    if (!composed.isNull()) {
        composed.setDevicePixelRatio(ratio);
        Canvas canvas(&composed);
        canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
        canvas.SetBrushColor(clBtnFace);
        canvas.FillRect(0, 0, outer.width(), outer.height());
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
    // Composed off the screen and copied in one piece: a copy of the view, then the overlay.
    const qreal ratio = Client->devicePixelRatioF();
    const QSize device(static_cast<int>(std::ceil(Client->width() * ratio)), static_cast<int>(std::ceil(Client->height() * ratio)));
    QImage& buffer = ViewPainter.Buffer(device, ratio);
    if (!ViewImage || ViewImage->deviceIndependentSize().width() < Client->width() ||
        ViewImage->deviceIndependentSize().height() < Client->height())
        buffer.fill(ToQColor(clBtnFace));
    ViewPainter.Paint(*this, buffer);
    Canvas canvas(Client);
    canvas.Draw(0, 0, buffer);
    if (PaintCoversClient)
        PaintedInputs.Take(Client->size(), Client->devicePixelRatioF());
    else
        PaintedInputs.Forget();
}

void TForm1::FormResize()
{
    if (!IsDestroying)
        RenderView();
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
    ContourHistory.Transformed([t](TContourPoint& p) { RotatePointAboutAxis(p, TContourPoint{}, 2, t); },
                               TContourAffine::Turn(-t));
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
