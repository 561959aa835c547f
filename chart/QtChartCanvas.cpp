#include "QtChartCanvas.h"

#include "Colors.h"

#include <QString>

static_assert(chartcolor::BtnShadow == clBtnShadow && chartcolor::BtnHighlight == clBtnHighlight &&
                  chartcolor::BtnFace == clBtnFace,
              "the chart's system colours are the platform's");

int TQtChartCanvas::TextWidth(const std::string& text)
{
    return canvas_.TextWidth(QString::fromStdString(text));
}

int TQtChartCanvas::TextHeight(const std::string& text)
{
    return canvas_.TextHeight(QString::fromStdString(text));
}

void TQtChartCanvas::SetPen(TColor color, int width, TPenStyle style, TPenMode mode)
{
    Canvas::Pen& p = canvas_.pen();
    p.color = color;
    p.width = width;
    p.style = style == TPenStyle::psDot ? Canvas::PenStyle::Dot
              : style == TPenStyle::psClear ? Canvas::PenStyle::Clear
                                           : Canvas::PenStyle::Solid;
    p.mode = mode == TPenMode::pmNotXor ? Canvas::PenMode::NotXor : Canvas::PenMode::Copy;
}

void TQtChartCanvas::SetBrush(TColor color, TBrushStyle style)
{
    canvas_.SetBrushColor(color);
    canvas_.SetBrushStyle(style == TBrushStyle::bsClear ? Canvas::BrushStyle::Clear : Canvas::BrushStyle::Solid);
}

void TQtChartCanvas::SetFont(const TChartFont& font)
{
    canvas_.fontColor() = font.Color;
    if (font == font_)
        return;
    font_ = font;
    QFont f(QString::fromStdString(font.Name), font.Size);
    f.setStyleStrategy(QFont::NoAntialias);
    canvas_.font() = f;
}

void TQtChartCanvas::SetBkMode(BkMode mode)
{
    canvas_.SetBkMode(mode == BkMode::Transparent ? Canvas::BkMode::Transparent : Canvas::BkMode::Opaque);
}

void TQtChartCanvas::FillRect(const TChartRect& r)
{
    if (active())
        canvas_.FillRect(r.Left, r.Top, r.Right, r.Bottom);
}

void TQtChartCanvas::Rectangle(int l, int t, int r, int b)
{
    if (active())
        canvas_.Rectangle(l, t, r, b);
}

void TQtChartCanvas::Ellipse(int l, int t, int r, int b)
{
    if (active())
        canvas_.Ellipse(l, t, r, b);
}

void TQtChartCanvas::LineTo(int x, int y)
{
    canvas_.LineTo(x, y);
}

void TQtChartCanvas::TextOut(int x, int y, const std::string& text)
{
    if (active())
        canvas_.TextOut(x, y, QString::fromStdString(text));
}

void TQtChartCanvas::ClipRectangle(const TChartRect& r)
{
    if (active())
        canvas_.IntersectClipRect(r.Left, r.Top, r.Right, r.Bottom);
}

void TQtChartCanvas::UnClipRectangle()
{
    if (active())
        canvas_.RemoveClip();
}

TColor TQtChartCanvas::ColorToRGB(TColor color)
{
    return ::ColorToRGB(color);
}
