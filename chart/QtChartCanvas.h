#pragma once

#include "Canvas.h"
#include "ChartCanvas.h"

class QPaintDevice;

/// The chart's drawing operations on the platform's GDI-like canvas.
class TQtChartCanvas final : public TChartCanvas {
public:
    explicit TQtChartCanvas(QPaintDevice* device) : canvas_(device) {}

    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void SetPen(TColor color, int width, TPenStyle style, TPenMode mode) override;
    void SetBrush(TColor color, TBrushStyle style) override;
    void SetFont(const TChartFont& font) override;
    void SetTextAlign(unsigned align) override { canvas_.SetTextAlign(align); }
    void SetBkMode(BkMode mode) override;
    void SetBkColor(TColor color) override { canvas_.SetBkColor(color); }
    void FillRect(const TChartRect& r) override;
    void Rectangle(int l, int t, int r, int b) override;
    void Ellipse(int l, int t, int r, int b) override;
    void MoveTo(int x, int y) override { canvas_.MoveTo(x, y); }
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, const std::string& text) override;
    void ClipRectangle(const TChartRect& r) override;
    void UnClipRectangle() override;
    TColor ColorToRGB(TColor color) override;
    void Finish() override { canvas_.End(); }

private:
    bool active() const { return canvas_.Active(); }

    Canvas canvas_;
    TChartFont font_{"", 0, 0};
};
