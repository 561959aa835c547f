#pragma once

#include "ContourPoints.h"
#include "EditMode.h"
#include "ViewMapping.h"

#include <QSize>
#include <QtGlobal>

class QImage;

/// Everything the main view's paint reads: the composed view, the contour, the overlay state, the
/// client's size and resolution and the form's colour. While none of it changes, painting again
/// would give exactly the pixels already on the screen, so the timer's repaint can be left out.
class TPaintInputs {
public:
    /// Records the inputs of a paint that covered the whole client area.
    void Take(QSize client, qreal ratio);
    /// Forgets the record, so that the next comparison asks for a paint; for paints of part of the client.
    void Forget() { valid_ = false; }
    /// True when a paint now would draw what the recorded one drew.
    bool Unchanged(QSize client, qreal ratio) const;
    /// The same where only the timer's tick can have changed anything since the last comparison:
    /// the edit mode (Escape, F3) and the cursor dot.
    bool TickStateUnchanged() const;

private:
    bool valid_ = false;
    QSize client_;
    qreal ratio_ = 0.0;
    const QImage* image_ = nullptr;
    qint64 imageKey_ = 0;
    qreal imageRatio_ = 0.0;
    unsigned face_ = 0;
    TContourPointArray points_;
    int originX_ = 0;
    int originY_ = 0;
    double zoom_ = 0.0;
    int radius_ = 0;
    TClientPoint cursor_;
    int hotPoint_ = 0;
    int hotSegment_ = 0;
    TEditMode mode_ = Idle;
    bool cursorDot_ = false;
};
