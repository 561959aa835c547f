#pragma once

#include "PictureBytes.h"

#include <QImage>

/// The toolkit-free view of a picture's bytes, for any format a load or a mirror leaves. A format
/// without a layout of its own is converted into `converted`, which must outlive the view; the
/// view of a null picture has no bytes.
TPictureBytes PictureViewOf(const QImage& picture, QImage& converted);
