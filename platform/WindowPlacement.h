#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace platform {

/// The outer rectangle (frame included) of a window centred in `area`: `outer` where it fits, in each
/// direction otherwise the whole area. An odd remainder leaves the extra pixel below and to the right.
QRect CentredOuterRect(const QRect& area, const QSize& outer);

/// The frame a top-level window wears, per side, in logical pixels: on X11 read from the window
/// manager's _NET_FRAME_EXTENTS as soon as it sets them, elsewhere Qt's own frame geometry. Zero
/// before the window is framed and where no window manager runs.
QMargins FrameMargins(const QWidget* window);

/// Centres a top-level window's frame on the available area of its screen, with the outer size
/// `outer` (frame included) where given, otherwise its own size plus the frame. The frame is known
/// only once the window system has framed the shown window, which on X11 can come well after the
/// first show: the placement is made again whenever the frame changes, until the user moves or
/// resizes the window.
void KeepCentredOnScreen(QWidget* window, std::optional<QSize> outer = std::nullopt);

/// Shows a top-level window as a command does: restored if it was minimised, raised and active.
void ShowRestored(QWidget* window);

} // namespace platform
