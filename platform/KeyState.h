#pragma once

#include "Services.h"

namespace platform {

/// Starts tracking Escape and F3 for the whole application (call once, after the application exists).
void StartKeyTracking();

/// The physical state of Escape or F3: the X11 keymap where the X11 window system is in use (so a
/// key held while another program has the focus counts), otherwise the state seen by the application.
bool PhysicalKeyHeld(Key key);

/// The mouse cursor in screen coordinates. While the X server reports raw input, the last position
/// asked for is kept until a motion is reported, so that an idle tick asks the server nothing.
QPoint TrackedCursorPos();

} // namespace platform
