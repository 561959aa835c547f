// Picture, view transform and painting of the main window.
#include "Unit1.h"

#include "Canvas.h"

#include <QImage>
#include <QWheelEvent>

void TForm1::Bildladen1Click() {}
void TForm1::Bildhorizontalspiegeln1Click() {}
void TForm1::Bildvertikalspiegeln1Click() {}

void TForm1::RenderView()
{
    if (!SourceImage || !ViewImage)
        return;
    QImage composed(frameGeometry().size(), QImage::Format_RGB32);
    composed.fill(ToQColor(clBtnFace));
    *ViewImage = composed;
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
    if (ViewImage)
        canvas.Draw(0, 0, *ViewImage);
}

void TForm1::FormResize()
{
    if (!IsDestroying)
        RenderView();
}

void TForm1::DrawCursorDot(Canvas&) {}
void TForm1::FormMouseWheelUp() {}
void TForm1::FormMouseWheelDown() {}
void TForm1::HandleWheel(QWheelEvent*) {}
void TForm1::ZoomView(int) {}
void TForm1::RotateView(int) {}
void TForm1::PanView(int, int) {}
