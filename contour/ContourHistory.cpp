#include "ContourHistory.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

TContourAffine TContourAffine::Turn(double radians)
{
    const double c = std::cos(radians), s = std::sin(radians);
    return {c, -s, s, c, 0.0, 0.0};
}

TContourAffine TContourAffine::Then(const TContourAffine& n) const
{
    return {n.xx * xx + n.xy * yx, n.xx * xy + n.xy * yy, n.yx * xx + n.yy * yx,
            n.yx * xy + n.yy * yy, n.xx * dx + n.xy * dy + n.dx, n.yx * dx + n.yy * dy + n.dy};
}

void TContourAffine::Apply(TContourPoint& p) const
{
    const double x = xx * p.x + xy * p.y + dx;
    p.y = yx * p.x + yy * p.y + dy;
    p.x = x;
}

TContourHistory::TContourHistory(std::size_t byteLimit) : limit_(byteLimit) {}

bool TContourHistory::Prepare(std::size_t count)
{
    if (open_) {
        std::vector<TChange>& changes = undo_.back().changes;
        if (changes.size() == changes.capacity())
            changes.reserve(std::max<std::size_t>(4, 2 * changes.capacity()));
        return false;
    }
    undo_.emplace_back();
    TStep& step = undo_.back();
    step.countBefore = step.countAfter = count;
    step.epoch = epoch_;
    try {
        step.changes.reserve(1);
    } catch (...) {
        undo_.pop_back();
        throw;
    }
    return true;
}

void TContourHistory::Commit(bool opened, const TChange& change, std::size_t count)
{
    TStep& step = undo_.back();
    step.changes.push_back(change); // within the capacity Prepare made
    step.countAfter = count;
    if (opened) {
        open_ = true;
        for (const TStep& dropped : redo_)
            bytes_ -= dropped.bytes;
        redo_.clear();
    }
    Recount(step);
    TrimToLimit();
    TrimLog();
}

void TContourHistory::Recount(TStep& step)
{
    bytes_ -= step.bytes;
    step.bytes = sizeof(TStep) + step.changes.capacity() * sizeof(TChange) + step.cleared.capacity() * sizeof(TContourPoint);
    bytes_ += step.bytes;
}

template <typename TAdd>
void TContourHistory::RecordInsert(TContourPointArray& points, int index, TAdd add)
{
    const bool opened = Prepare(points.size());
    try {
        add();
    } catch (...) {
        // The list is unchanged when the operation throws; the step opened for it goes too.
        if (opened)
            undo_.pop_back();
        throw;
    }
    Commit(opened, {TKind::Insert, index, {}, points[index]}, points.size());
}

void TContourHistory::Append(TContourPointArray& points, double x, double y)
{
    RecordInsert(points, static_cast<int>(points.size()), [&] { AppendContourPoint(points, x, y); });
}

void TContourHistory::Prepend(TContourPointArray& points, double x, double y)
{
    RecordInsert(points, 0, [&] { PrependContourPoint(points, x, y); });
}

void TContourHistory::Insert(TContourPointArray& points, int index, double x, double y)
{
    RecordInsert(points, index, [&] { InsertContourPoint(points, index, x, y); });
}

void TContourHistory::Delete(TContourPointArray& points, int index)
{
    const TContourPoint deleted = points[index];
    const bool opened = Prepare(points.size());
    DeleteContourPoint(points, index);
    Commit(opened, {TKind::Delete, index, deleted, {}}, points.size());
}

void TContourHistory::Move(TContourPointArray& points, int index, double x, double y)
{
    TContourPoint& p = points[index];
    if (open_) {
        // A drag moves one point many times: only where it started and where it is now matter.
        TStep& step = undo_.back();
        if (!step.changes.empty() && step.changes.back().kind == TKind::Move && step.changes.back().index == index) {
            p.x = x;
            p.y = y;
            step.changes.back().after = p;
            return;
        }
    }
    const TContourPoint before = p;
    const bool opened = Prepare(points.size());
    p.x = x;
    p.y = y;
    Commit(opened, {TKind::Move, index, before, p}, points.size());
}

void TContourHistory::Clear(TContourPointArray& points)
{
    CloseStep();
    if (points.empty())
        return;
    undo_.emplace_back();
    TStep& step = undo_.back();
    step.clear = true;
    step.countBefore = points.size();
    step.countAfter = 0;
    step.epoch = epoch_;
    // The step takes the list's storage over: clearing a long contour copies nothing.
    step.cleared.swap(points);
    for (const TStep& dropped : redo_)
        bytes_ -= dropped.bytes;
    redo_.clear();
    Recount(step);
    TrimToLimit();
    TrimLog();
}

void TContourHistory::CloseStep()
{
    open_ = false;
    gesture_ = false;
}

void TContourHistory::BeginGesture(bool left, bool right)
{
    CloseStep();
    gesture_ = true;
    gestureLeft_ = left;
    gestureRight_ = right;
}

void TContourHistory::GestureMove(bool left, bool right)
{
    if (gesture_ && ((gestureLeft_ && !left) || (gestureRight_ && !right)))
        CloseStep();
}

void TContourHistory::EnsureGesture(bool left, bool right)
{
    if (!gesture_)
        BeginGesture(left, right);
}

void TContourHistory::Transformed(const TContourAffine& affine)
{
    Transformed([affine](TContourPoint& p) { affine.Apply(p); }, affine);
}

void TContourHistory::Transformed(TContourMap map, std::optional<TContourAffine> affine)
{
    // A step never spans a change of frame: its points are all in the frame it was recorded in.
    CloseStep();
    if (undo_.empty() && redo_.empty()) {
        ++epoch_;
        logBase_ = epoch_;
        return;
    }
    log_.push_back({std::move(map), affine});
    bytes_ += sizeof(TLogEntry);
    ++epoch_;
    TrimToLimit();
}

void TContourHistory::CatchUp(TStep& step)
{
    assert(step.epoch >= logBase_ && step.epoch <= epoch_);
    const auto entry = [&](std::uint64_t e) -> const TLogEntry& { return log_[static_cast<std::size_t>(e - logBase_)]; };
    const auto each = [&step](const auto& map) {
        for (TChange& c : step.changes) {
            if (c.kind != TKind::Insert)
                map(c.before);
            if (c.kind != TKind::Delete)
                map(c.after);
        }
        for (TContourPoint& p : step.cleared)
            map(p);
    };
    const std::uint64_t pending = epoch_ - step.epoch;
    const std::size_t points = 2 * step.changes.size() + step.cleared.size();
    bool compose = pending * points > ExactReplayBudget;
    TContourAffine total;
    for (std::uint64_t e = step.epoch; compose && e < epoch_; ++e) {
        if (entry(e).affine)
            total = total.Then(*entry(e).affine);
        else
            compose = false;
    }
    if (compose) {
        each([&total](TContourPoint& p) { total.Apply(p); });
    } else {
        for (std::uint64_t e = step.epoch; e < epoch_; ++e)
            each(entry(e).map);
    }
    step.epoch = epoch_;
}

bool TContourHistory::Replayable(const TStep& step, std::size_t count, bool undo)
{
    if (count != (undo ? step.countAfter : step.countBefore))
        return false;
    if (step.clear)
        return true;
    std::size_t n = count;
    const auto fits = [&n](const TChange& c, bool grows) {
        const std::size_t i = static_cast<std::size_t>(c.index);
        if (c.index < 0 || (grows ? i > n : i >= n))
            return false;
        n = grows ? n + 1 : n - (c.kind == TKind::Move ? 0 : 1);
        return true;
    };
    if (undo) {
        for (auto c = step.changes.rbegin(); c != step.changes.rend(); ++c)
            if (!fits(*c, c->kind == TKind::Delete))
                return false;
    } else {
        for (const TChange& c : step.changes)
            if (!fits(c, c.kind == TKind::Insert))
                return false;
    }
    return n == (undo ? step.countBefore : step.countAfter);
}

void TContourHistory::Apply(TStep& step, TContourPointArray& points, bool undo)
{
    if (step.clear) {
        points.swap(step.cleared);
        return;
    }
    // All the room the replay needs is taken first, so that no insertion can fail half way.
    std::size_t growth = 0;
    for (const TChange& c : step.changes)
        growth += c.kind == (undo ? TKind::Delete : TKind::Insert) ? 1 : 0;
    const std::size_t need = points.size() + growth;
    if (points.capacity() < need)
        points.reserve(std::max(need, 2 * points.capacity()));

    if (undo) {
        for (auto c = step.changes.rbegin(); c != step.changes.rend(); ++c) {
            switch (c->kind) {
            case TKind::Insert: points.erase(points.begin() + c->index); break;
            case TKind::Delete: points.insert(points.begin() + c->index, c->before); break;
            case TKind::Move: points[c->index] = c->before; break;
            }
        }
    } else {
        for (const TChange& c : step.changes) {
            switch (c.kind) {
            case TKind::Insert: points.insert(points.begin() + c.index, c.after); break;
            case TKind::Delete: points.erase(points.begin() + c.index); break;
            case TKind::Move: points[c.index] = c.after; break;
            }
        }
    }
}

bool TContourHistory::Undo(TContourPointArray& points)
{
    return Replay(undo_, redo_, points, true);
}

bool TContourHistory::Redo(TContourPointArray& points)
{
    return Replay(redo_, undo_, points, false);
}

bool TContourHistory::Replay(std::deque<TStep>& from, std::deque<TStep>& to, TContourPointArray& points, bool undo)
{
    CloseStep();
    if (from.empty())
        return false;
    TStep& step = from.back();
    if (!Replayable(step, points.size(), undo)) {
        Reset();
        return false;
    }
    // Room on the other stack first: once the list has changed, nothing may fail.
    to.emplace_back();
    try {
        CatchUp(step);
        Apply(step, points, undo);
    } catch (...) {
        to.pop_back();
        throw;
    }
    to.back() = std::move(step);
    from.pop_back();
    Recount(to.back());
    TrimToLimit();
    TrimLog();
    return true;
}

void TContourHistory::TrimToLimit()
{
    // The newest step stays whatever its size: it holds points the user may want back at once.
    while (bytes_ > limit_) {
        if (undo_.size() > 1) {
            bytes_ -= undo_.front().bytes;
            undo_.pop_front();
        } else if (!redo_.empty()) {
            bytes_ -= redo_.front().bytes;
            redo_.pop_front();
        } else {
            break;
        }
    }
    // Rotations alone can fill the limit: then the steps left take the maps on at once.
    if (bytes_ > limit_ && !log_.empty()) {
        for (TStep& step : undo_)
            CatchUp(step);
        for (TStep& step : redo_)
            CatchUp(step);
        TrimLog();
    }
}

void TContourHistory::TrimLog()
{
    // Each stack's epochs grow from bottom to top, so its bottom step is the oldest frame it needs.
    std::uint64_t oldest = epoch_;
    if (!undo_.empty())
        oldest = std::min(oldest, undo_.front().epoch);
    if (!redo_.empty())
        oldest = std::min(oldest, redo_.front().epoch);
    while (logBase_ < oldest) {
        log_.pop_front();
        bytes_ -= sizeof(TLogEntry);
        ++logBase_;
    }
}

void TContourHistory::Reset()
{
    undo_.clear();
    redo_.clear();
    log_.clear();
    logBase_ = epoch_;
    bytes_ = 0;
    CloseStep();
}
