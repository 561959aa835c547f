#include "RecordingCanvas.h"

#include <algorithm>

using Kind = TDrawing::Op::Kind;

namespace {

TChartRect Union(const TChartRect& a, const TChartRect& b)
{
    if (a.Width() <= 0 || a.Height() <= 0)
        return b;
    if (b.Width() <= 0 || b.Height() <= 0)
        return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

bool Intersects(const TChartRect& a, const TChartRect& b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

/// The bounding box of a shape's corners, widened by a pen of `width` (and a pixel for rounding).
TChartRect Box(int x0, int y0, int x1, int y1, int width)
{
    const int m = std::max(1, width) + 1;
    return {std::min(x0, x1) - m, std::min(y0, y1) - m, std::max(x0, x1) + m + 1, std::max(y0, y1) + m + 1};
}

// Beyond this share of the changed area a partial drawing saves little.
constexpr int MaxChangedOps = 4096;

} // namespace

TDrawing::Op& TRecordingCanvas::add(Kind kind)
{
    drawing_.ops.emplace_back();
    drawing_.ops.back().kind = kind;
    return drawing_.ops.back();
}

void TRecordingCanvas::SetPen(TColor color, int width, TPenStyle style, TPenMode mode)
{
    TDrawing::Op op;
    op.kind = Kind::Pen;
    op.color = color;
    op.a = width;
    op.style = static_cast<std::uint8_t>(style);
    op.mode = static_cast<std::uint8_t>(mode);
    // The series sets the same pen for every point; only a change of it is a step of the drawing.
    if (pen_ && *pen_ == op)
        return;
    pen_ = op;
    drawing_.ops.push_back(op);
    penWidth_ = width;
}

void TRecordingCanvas::SetBrush(TColor color, TBrushStyle style)
{
    TDrawing::Op op;
    op.kind = Kind::Brush;
    op.color = color;
    op.style = static_cast<std::uint8_t>(style);
    if (brush_ && *brush_ == op)
        return;
    brush_ = op;
    drawing_.ops.push_back(op);
}

void TRecordingCanvas::SetFont(const TChartFont& font)
{
    // Measurements that follow depend on it, so the target takes it at once too.
    target_.SetFont(font);
    auto& op = add(Kind::Font);
    op.text = static_cast<int>(drawing_.fonts.size());
    drawing_.fonts.push_back(font);
}

void TRecordingCanvas::SetTextAlign(unsigned align)
{
    add(Kind::TextAlign).a = static_cast<int>(align);
}

void TRecordingCanvas::SetBkMode(BkMode mode)
{
    add(Kind::BkMode).a = static_cast<int>(mode);
}

void TRecordingCanvas::SetBkColor(TColor color)
{
    add(Kind::BkColor).color = color;
}

void TRecordingCanvas::FillRect(const TChartRect& r)
{
    auto& op = add(Kind::FillRect);
    op.a = r.Left, op.b = r.Top, op.c = r.Right, op.d = r.Bottom;
}

void TRecordingCanvas::Rectangle(int l, int t, int r, int b)
{
    auto& op = add(Kind::Rectangle);
    op.a = l, op.b = t, op.c = r, op.d = b;
}

void TRecordingCanvas::Ellipse(int l, int t, int r, int b)
{
    // Points closer than a pixel give the same marker over and over; drawn again at once in a pen
    // that only covers, it changes no pixel, and a long outline would draw each one many times.
    if (!drawing_.ops.empty() && pen_ && pen_->mode == static_cast<std::uint8_t>(TPenMode::pmCopy)) {
        const TDrawing::Op& last = drawing_.ops.back();
        if (last.kind == Kind::Ellipse && last.a == l && last.b == t && last.c == r && last.d == b)
            return;
    }
    auto& op = add(Kind::Ellipse);
    op.a = l, op.b = t, op.c = r, op.d = b;
    op.box = Box(l, t, r, b, penWidth_);
}

void TRecordingCanvas::MoveTo(int x, int y)
{
    auto& op = add(Kind::MoveTo);
    op.a = x, op.b = y;
    x_ = x;
    y_ = y;
}

void TRecordingCanvas::LineTo(int x, int y)
{
    auto& op = add(Kind::LineTo);
    op.a = x, op.b = y;
    op.c = x_, op.d = y_; // the start is part of what the line draws
    op.box = Box(x_, y_, x, y, penWidth_);
    x_ = x;
    y_ = y;
}

void TRecordingCanvas::TextOut(int x, int y, const std::string& text)
{
    auto& op = add(Kind::TextOut);
    op.a = x, op.b = y;
    op.text = static_cast<int>(drawing_.texts.size());
    drawing_.texts.push_back(text);
}

void TRecordingCanvas::ClipRectangle(const TChartRect& r)
{
    auto& op = add(Kind::Clip);
    op.a = r.Left, op.b = r.Top, op.c = r.Right, op.d = r.Bottom;
}

void TRecordingCanvas::UnClipRectangle()
{
    add(Kind::UnClip);
}

std::optional<TChartRect> TRecordingCanvas::Difference(const TDrawing& before, const TDrawing& after)
{
    if (before.texts != after.texts || before.fonts != after.fonts)
        return std::nullopt;
    if (before.ops.size() != after.ops.size())
        return ChangedStretch(before.ops, after.ops);
    TChartRect changed;
    int count = 0;
    for (std::size_t i = 0; i < after.ops.size(); ++i) {
        const TDrawing::Op& a = before.ops[i];
        const TDrawing::Op& b = after.ops[i];
        if (a == b)
            continue;
        // A moved line start shows in the line that follows, whose recorded start moved with it.
        const bool shape = a.kind == b.kind && (b.kind == Kind::Ellipse || b.kind == Kind::LineTo || b.kind == Kind::MoveTo);
        if (!shape || ++count > MaxChangedOps)
            return std::nullopt;
        changed = Union(changed, Union(a.box, b.box));
    }
    return changed;
}

std::optional<TChartRect> TRecordingCanvas::ChangedStretch(const std::vector<TDrawing::Op>& before,
                                                          const std::vector<TDrawing::Op>& after)
{
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    std::size_t tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    constexpr auto most = static_cast<std::size_t>(MaxChangedOps);
    if (before.size() - head - tail > most || after.size() - head - tail > most)
        return std::nullopt;
    // Shapes in between, and pens and brushes that leave the same ones in force after the stretch:
    // what follows is then drawn alike. A line after the stretch starts where it did, since a
    // line's start is part of its record.
    TChartRect changed;
    for (const auto* ops : {&before, &after}) {
        for (std::size_t i = head; i + tail < ops->size(); ++i) {
            const TDrawing::Op& op = (*ops)[i];
            if (op.kind != Kind::Ellipse && op.kind != Kind::LineTo && op.kind != Kind::MoveTo &&
                op.kind != Kind::Pen && op.kind != Kind::Brush)
                return std::nullopt;
            changed = Union(changed, op.box);
        }
    }
    auto inForce = [tail](const std::vector<TDrawing::Op>& ops, Kind kind) -> const TDrawing::Op* {
        for (std::size_t i = ops.size() - tail; i-- > 0;)
            if (ops[i].kind == kind)
                return &ops[i];
        return nullptr;
    };
    for (const Kind kind : {Kind::Pen, Kind::Brush}) {
        const TDrawing::Op* a = inForce(before, kind);
        const TDrawing::Op* b = inForce(after, kind);
        if ((a == nullptr) != (b == nullptr) || (a && !(*a == *b)))
            return std::nullopt;
    }
    return changed;
}

void TRecordingCanvas::Replay(const TDrawing& drawing, TChartCanvas& canvas, const std::optional<TChartRect>& within)
{
    if (within)
        canvas.ClipRectangle(*within);
    for (const TDrawing::Op& op : drawing.ops) {
        switch (op.kind) {
        case Kind::Pen:
            canvas.SetPen(op.color, op.a, static_cast<TPenStyle>(op.style), static_cast<TPenMode>(op.mode));
            break;
        case Kind::Brush: canvas.SetBrush(op.color, static_cast<TBrushStyle>(op.style)); break;
        case Kind::Font: canvas.SetFont(drawing.fonts[static_cast<std::size_t>(op.text)]); break;
        case Kind::TextAlign: canvas.SetTextAlign(static_cast<unsigned>(op.a)); break;
        case Kind::BkMode: canvas.SetBkMode(static_cast<BkMode>(op.a)); break;
        case Kind::BkColor: canvas.SetBkColor(op.color); break;
        case Kind::FillRect: canvas.FillRect({op.a, op.b, op.c, op.d}); break;
        case Kind::Rectangle: canvas.Rectangle(op.a, op.b, op.c, op.d); break;
        case Kind::Ellipse:
            // Outside the changed rectangle a shape would draw nothing anyway.
            if (!within || Intersects(op.box, *within))
                canvas.Ellipse(op.a, op.b, op.c, op.d);
            break;
        case Kind::MoveTo: canvas.MoveTo(op.a, op.b); break;
        case Kind::LineTo:
            if (!within || Intersects(op.box, *within))
                canvas.LineTo(op.a, op.b);
            else
                canvas.MoveTo(op.a, op.b);
            break;
        case Kind::TextOut: canvas.TextOut(op.a, op.b, drawing.texts[static_cast<std::size_t>(op.text)]); break;
        case Kind::Clip: canvas.ClipRectangle({op.a, op.b, op.c, op.d}); break;
        case Kind::UnClip:
            canvas.UnClipRectangle();
            if (within)
                canvas.ClipRectangle(*within);
            break;
        }
    }
    if (within)
        canvas.UnClipRectangle();
}

void TRecordingCanvas::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    target_.Finish();
}

void TRecordingCanvas::Show(TChartCanvas& canvas, std::optional<TDrawing>& shown)
{
    std::optional<TChartRect> changed;
    if (shown)
        changed = Difference(*shown, drawing_);
    if (!changed)
        Replay(drawing_, canvas, std::nullopt);
    else if (changed->Width() > 0 && changed->Height() > 0)
        Replay(drawing_, canvas, changed);
    canvas.Finish();
    shown = std::move(drawing_);
}
