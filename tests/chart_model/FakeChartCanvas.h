#pragma once

#include "ChartCanvas.h"

#include <string>
#include <vector>

/// Records what the chart draws; text is measured with a fixed-size font (7 pixels a character, 13 high).
class FakeChartCanvas final : public TChartCanvas {
public:
    struct Op {
        std::string kind; ///< "line", "ellipse", "rect", "fill", "text", "clip", "unclip"
        int a = 0, b = 0, c = 0, d = 0;
        TColor pen = 0;
        TColor brush = 0;
        TBrushStyle brushStyle = TBrushStyle::bsSolid;
        TPenMode mode = TPenMode::pmCopy;
        std::string text;
    };
    std::vector<Op> ops;
    int charWidth = 7;
    int fontHeight = 13;

    int TextWidth(const std::string& t) override { return charWidth * static_cast<int>(t.size()); }
    int TextHeight(const std::string&) override { return fontHeight; }
    void SetPen(TColor color, int, TPenStyle, TPenMode mode) override
    {
        pen_ = color;
        mode_ = mode;
    }
    void SetBrush(TColor color, TBrushStyle style) override
    {
        brush_ = color;
        brushStyle_ = style;
    }
    void SetFont(const TChartFont&) override {}
    void SetTextAlign(unsigned) override {}
    void SetBkMode(BkMode) override {}
    void SetBkColor(TColor) override {}
    void FillRect(const TChartRect& r) override { add("fill", r.Left, r.Top, r.Right, r.Bottom); }
    void Rectangle(int l, int t, int r, int b) override { add("rect", l, t, r, b); }
    void Ellipse(int l, int t, int r, int b) override { add("ellipse", l, t, r, b); }
    void MoveTo(int x, int y) override
    {
        x_ = x;
        y_ = y;
    }
    void LineTo(int x, int y) override
    {
        add("line", x_, y_, x, y);
        x_ = x;
        y_ = y;
    }
    void TextOut(int x, int y, const std::string& text) override
    {
        add("text", x, y, 0, 0);
        ops.back().text = text;
    }
    void ClipRectangle(const TChartRect& r) override { add("clip", r.Left, r.Top, r.Right, r.Bottom); }
    void UnClipRectangle() override { add("unclip", 0, 0, 0, 0); }
    TColor ColorToRGB(TColor c) override { return c & 0xFFFFFF; }

    std::vector<Op> of(const std::string& kind) const
    {
        std::vector<Op> r;
        for (const Op& o : ops)
            if (o.kind == kind)
                r.push_back(o);
        return r;
    }

private:
    void add(const char* kind, int a, int b, int c, int d)
    {
        ops.push_back({kind, a, b, c, d, pen_, brush_, brushStyle_, mode_, {}});
    }
    TColor pen_ = 0;
    TColor brush_ = 0;
    TBrushStyle brushStyle_ = TBrushStyle::bsSolid;
    TPenMode mode_ = TPenMode::pmCopy;
    int x_ = 0, y_ = 0;
};
