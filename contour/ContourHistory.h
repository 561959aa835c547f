#pragma once

#include "ContourPoints.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

/// A change applied to every point of the contour at once, such as the turn that follows a rotation
/// of the picture. It must be a pure function of the point.
using TContourMap = std::function<void(TContourPoint&)>;

/// An affine change of the plane, z untouched: x' = xx x + xy y + dx, y' = yx x + yy y + dy.
struct TContourAffine {
    double xx = 1.0, xy = 0.0, yx = 0.0, yy = 1.0, dx = 0.0, dy = 0.0;

    /// The turn about (0, 0) by which a picture turned by `radians` shows on the screen (y downward:
    /// clockwise for a positive angle).
    static TContourAffine Turn(double radians);
    /// This change followed by `next`.
    TContourAffine Then(const TContourAffine& next) const;
    void Apply(TContourPoint& p) const;
};

/// The undo history of the contour. Every edit goes through one of the operations below, which
/// changes the list exactly as the list operation of the same name does and records what changed:
/// the index and the point, never a copy of the list (only "Polygon löschen" keeps the points it
/// cleared, which it takes over from the list without copying them).
///
/// Changes join the open step; the first change after CloseStep opens a new one and discards the
/// redo steps. A gesture (mouse press to the release of a button held at the press) holds its step
/// open.
///
/// Points recorded before a whole-contour change (Transformed) are brought through the same changes,
/// in the same order, when an undo or redo needs them, so they return to exactly the coordinates they
/// would have had had they stayed in the list. Where that would take more than ExactReplayBudget
/// passes of a change over a point (a long contour cleared, then turned), changes given as affine
/// maps are composed into one and applied in one pass: the points then come back to within rounding.
///
/// The history is bounded by bytes, not by steps: when it holds more than its limit, the oldest
/// steps go first. The newest step is always kept, however large.
class TContourHistory {
public:
    static constexpr std::size_t DefaultByteLimit = std::size_t{256} << 20;

    explicit TContourHistory(std::size_t byteLimit = DefaultByteLimit);

    // Edits, each recorded in the open step. Indices as the list operations require.
    void Append(TContourPointArray& points, double x, double y);
    void Prepend(TContourPointArray& points, double x, double y);
    void Insert(TContourPointArray& points, int index, double x, double y);
    void Delete(TContourPointArray& points, int index);
    /// Sets x and y of one point; z stays. Successive moves of one point merge into one change.
    void Move(TContourPointArray& points, int index, double x, double y);
    /// Empties the list as a step of its own. An empty list records nothing and keeps the redo steps.
    void Clear(TContourPointArray& points);

    /// Ends the open step: the next change starts a new one.
    void CloseStep();
    /// Holds the steps of a gesture open until a move without one of these buttons (GestureMove).
    void BeginGesture(bool left, bool right);
    /// A move with these buttons held: ends the gesture (and its step) when a button of it was released.
    void GestureMove(bool left, bool right);
    /// Begins a gesture with these buttons unless one is already running (changes made by moves
    /// that no press preceded, such as a drag that came into the window with the button held).
    void EnsureGesture(bool left, bool right);

    /// Records a change already applied to every point of the list. Ends the open step. `affine`,
    /// where given, is the same change as a map that can be composed with others.
    void Transformed(TContourMap map, std::optional<TContourAffine> affine = std::nullopt);
    /// A change of every point that is its affine map, such as a mirror of the picture.
    void Transformed(const TContourAffine& affine);

    /// Passes of one change over one point that an undo or redo makes point by point, at most;
    /// beyond it composes the changes.
    static constexpr std::size_t ExactReplayBudget = 10000;

    /// Takes back the last step, or redoes the last step undone. False when there is none, or when
    /// the list no longer has the length the step left (changed behind the history's back), in which
    /// case the history is discarded rather than applied to a list it does not describe.
    bool Undo(TContourPointArray& points);
    bool Redo(TContourPointArray& points);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::size_t UndoSteps() const { return undo_.size(); }
    std::size_t RedoSteps() const { return redo_.size(); }
    /// The bytes the history holds, its bookkeeping included.
    std::size_t Bytes() const { return bytes_; }
    std::size_t ByteLimit() const { return limit_; }

    /// Forgets every step.
    void Reset();

private:
    enum class TKind : std::uint8_t { Insert, Delete, Move };

    struct TChange {
        TKind kind;
        int index;
        TContourPoint before; ///< the deleted point, the point before a move
        TContourPoint after;  ///< the inserted point, the point after a move
    };

    struct TStep {
        std::vector<TChange> changes;
        bool clear = false;
        TContourPointArray cleared; ///< the points of a "Polygon löschen" while it is not undone
        std::size_t countBefore = 0;
        std::size_t countAfter = 0;
        std::uint64_t epoch = 0; ///< the number of Transformed calls its points have been through
        std::size_t bytes = 0;
    };

    /// Makes room for one more change in the open step, opening a new step if none is open.
    /// Returns true when it opened one; the list is not touched, so a failure leaves all as it was.
    bool Prepare(std::size_t count);
    /// Records the change made after a Prepare; cannot fail.
    void Commit(bool opened, const TChange& change, std::size_t count);
    /// Runs `add`, which puts one point at `index`, and records it; a throw leaves no trace.
    template <typename TAdd>
    void RecordInsert(TContourPointArray& points, int index, TAdd add);
    void Recount(TStep& step);
    void CatchUp(TStep& step);
    static bool Replayable(const TStep& step, std::size_t count, bool undo);
    static void Apply(TStep& step, TContourPointArray& points, bool undo);
    /// Takes the newest step of `from` back (undo) or again (redo) and moves it onto `to`.
    bool Replay(std::deque<TStep>& from, std::deque<TStep>& to, TContourPointArray& points, bool undo);
    void TrimToLimit();
    void TrimLog();

    std::size_t limit_;
    std::size_t bytes_ = 0;
    std::deque<TStep> undo_;
    std::deque<TStep> redo_;
    bool open_ = false;
    bool gesture_ = false;
    bool gestureLeft_ = false;
    bool gestureRight_ = false;
    struct TLogEntry {
        TContourMap map;
        std::optional<TContourAffine> affine;
    };
    std::deque<TLogEntry> log_;   ///< the whole-contour changes since the oldest step's epoch
    std::uint64_t logBase_ = 0;   ///< the epoch before log_.front()
    std::uint64_t epoch_ = 0;
};
