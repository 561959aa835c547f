#include "PaintInputs.h"

#include "Colors.h"
#include "Unit1.h"

#include <QImage>

#include <cstring>

namespace {

qint64 ImageKey(const QImage* image)
{
    // The key changes whenever the image's pixels may have been written (any non-const access).
    return image ? image->cacheKey() : 0;
}

qreal ImageRatio(const QImage* image)
{
    return image ? image->devicePixelRatio() : 0.0;
}

bool SamePoints(const TContourPointArray& a, const TContourPointArray& b)
{
    // Bytes, not values: a changed bit pattern (even -0.0 for 0.0) only costs one paint more.
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(TContourPoint)) == 0);
}

} // namespace

void TPaintInputs::Take(QSize client, qreal ratio)
{
    valid_ = true;
    client_ = client;
    ratio_ = ratio;
    image_ = ViewImage;
    imageKey_ = ImageKey(ViewImage);
    imageRatio_ = ImageRatio(ViewImage);
    face_ = ColorToRGB(clBtnFace);
    points_ = ContourPoints;
    originX_ = View.ViewOriginX;
    originY_ = View.ViewOriginY;
    zoom_ = View.ZoomFactor;
    radius_ = View.PointRadius;
    cursor_ = View.CursorPos;
    hotPoint_ = Hit.HotPointIndex;
    hotSegment_ = Hit.HotSegmentIndex;
    mode_ = EditMode;
    cursorDot_ = CursorDotVisible;
}

bool TPaintInputs::Unchanged(QSize client, qreal ratio) const
{
    // The cheap fields first; the contour, the one input that grows, last.
    return valid_ && client_ == client && ratio_ == ratio && image_ == ViewImage && imageKey_ == ImageKey(ViewImage) &&
           imageRatio_ == ImageRatio(ViewImage) && originX_ == View.ViewOriginX && originY_ == View.ViewOriginY &&
           std::memcmp(&zoom_, &View.ZoomFactor, sizeof zoom_) == 0 && radius_ == View.PointRadius &&
           cursor_ == View.CursorPos && hotPoint_ == Hit.HotPointIndex && hotSegment_ == Hit.HotSegmentIndex &&
           mode_ == EditMode && cursorDot_ == CursorDotVisible && face_ == ColorToRGB(clBtnFace) &&
           SamePoints(points_, ContourPoints);
}

bool TPaintInputs::TickStateUnchanged() const
{
    return valid_ && mode_ == EditMode && cursorDot_ == CursorDotVisible;
}
