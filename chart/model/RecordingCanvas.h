#pragma once

#include "ChartCanvas.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/// One complete drawing of the chart as the list of canvas operations it made, with the pixels
/// each line and ellipse can touch.
struct TDrawing {
    struct Op {
        enum class Kind : std::uint8_t {
            Pen, Brush, Font, TextAlign, BkMode, BkColor, FillRect, Rectangle, Ellipse, MoveTo, LineTo, TextOut,
            Clip, UnClip
        };
        Kind kind = Kind::Pen;
        std::uint8_t style = 0;
        std::uint8_t mode = 0;
        int a = 0, b = 0, c = 0, d = 0; ///< coordinates, or width and the like
        TColor color = 0;
        int text = -1; ///< index into texts for TextOut and Font
        TChartRect box; ///< the pixels a line or an ellipse may touch (right and bottom exclusive)
        bool operator==(const Op&) const = default;
    };
    std::vector<Op> ops;
    std::vector<std::string> texts;
    std::vector<TChartFont> fonts;
};

/// A canvas that records a drawing, to be drawn later onto the real canvas as far as it differs from
/// the drawing there before: nothing when both are alike, the rectangle around the lines and
/// ellipses that moved when only such changed (a dragged point), else everything.
class TRecordingCanvas final : public TChartCanvas {
public:
    /// `measure` answers the text measurements and colours while the drawing is recorded.
    /// `expectedOps`: room to reserve, the length of the drawing before.
    explicit TRecordingCanvas(TChartCanvas& measure, std::size_t expectedOps = 0) : target_(measure)
    {
        drawing_.ops.reserve(expectedOps);
    }

    int TextWidth(const std::string& text) override { return target_.TextWidth(text); }
    int TextHeight(const std::string& text) override { return target_.TextHeight(text); }
    void SetPen(TColor color, int width, TPenStyle style, TPenMode mode) override;
    void SetBrush(TColor color, TBrushStyle style) override;
    void SetFont(const TChartFont& font) override;
    void SetTextAlign(unsigned align) override;
    void SetBkMode(BkMode mode) override;
    void SetBkColor(TColor color) override;
    void FillRect(const TChartRect& r) override;
    void Rectangle(int l, int t, int r, int b) override;
    void Ellipse(int l, int t, int r, int b) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, const std::string& text) override;
    void ClipRectangle(const TChartRect& r) override;
    void UnClipRectangle() override;
    TColor ColorToRGB(TColor color) override { return target_.ColorToRGB(color); }
    /// The drawing is complete: the measuring canvas is finished too.
    void Finish() override;
    /// Draws the recorded drawing onto a canvas whose pixels show `shown` (none: unknown), as far
    /// as it differs, finishes that canvas and makes the recording the one shown.
    void Show(TChartCanvas& canvas, std::optional<TDrawing>& shown);

    /// The rectangle that holds every pixel in which two drawings can differ; none when they differ
    /// in more than the place of lines and ellipses. An empty rectangle: they are alike.
    static std::optional<TChartRect> Difference(const TDrawing& before, const TDrawing& after);
    /// Draws the drawing onto a canvas, within `within` only when given.
    static void Replay(const TDrawing& drawing, TChartCanvas& canvas, const std::optional<TChartRect>& within);

private:
    /// Difference of two drawings of unequal length (a dragged point came to share a pixel with its
    /// neighbour, or ceased to): alike but for one stretch of shapes.
    static std::optional<TChartRect> ChangedStretch(const std::vector<TDrawing::Op>& before,
                                                    const std::vector<TDrawing::Op>& after);
    TDrawing::Op& add(TDrawing::Op::Kind kind);

    TChartCanvas& target_;
    TDrawing drawing_;
    std::optional<TDrawing::Op> pen_;   ///< the pen and brush in force, so that repeating them records nothing
    std::optional<TDrawing::Op> brush_;
    int penWidth_ = 1;
    int x_ = 0;
    int y_ = 0;
    bool finished_ = false;
};
