#pragma once

#include "ChartTypes.h"

#include <string>

/// Text measurement in the current font; the widget answers it with its real font, tests with a fake one.
class TTextMeasure {
public:
    virtual ~TTextMeasure() = default;
    virtual int TextWidth(const std::string& text) = 0;
    /// The line height of the font, as the chart measures it on "W".
    virtual int TextHeight(const std::string& text) = 0;
};

/// The GDI-like drawing operations the chart draws with. Rectangles and ellipses exclude their
/// right and bottom edges, lines their end pixel.
class TChartCanvas : public TTextMeasure {
public:
    enum TextAlign : unsigned {
        TaLeft = 0,
        TaRight = 2,
        TaCenter = 6,
        TaTop = 0,
        TaBottom = 8,
    };
    enum class BkMode { Transparent = 1, Opaque = 2 };

    /// Pen with a plain colour (special values already resolved by the caller).
    virtual void SetPen(TColor color, int width, TPenStyle style, TPenMode mode) = 0;
    virtual void SetBrush(TColor color, TBrushStyle style) = 0;
    virtual void SetFont(const TChartFont& font) = 0;
    virtual void SetTextAlign(unsigned align) = 0;
    virtual void SetBkMode(BkMode mode) = 0;
    virtual void SetBkColor(TColor color) = 0;

    /// Fills with the brush colour whatever the brush style.
    virtual void FillRect(const TChartRect& r) = 0;
    virtual void Rectangle(int l, int t, int r, int b) = 0;
    virtual void Ellipse(int l, int t, int r, int b) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    /// Text at (x, y) under the current alignment, in the font colour.
    virtual void TextOut(int x, int y, const std::string& text) = 0;

    /// Limits drawing to the rectangle combined with the current clip.
    virtual void ClipRectangle(const TChartRect& r) = 0;
    virtual void UnClipRectangle() = 0;

    /// Resolves system colours to 0x00BBGGRR.
    virtual TColor ColorToRGB(TColor color) = 0;

    /// The drawing is complete: what follows (the after-draw notification) may start a new one.
    virtual void Finish() {}
};
