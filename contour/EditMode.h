#pragma once

#include <cstdint>

/// The editing state of the main window. The value 1 is not used.
enum TEditMode : std::uint8_t {
    Idle = 0,          ///< nothing armed
    AppendAtEnd = 2,   ///< a left click away from points and segments appends a point
    Stopped = 3,       ///< set by F3; every handler treats it as Idle
    InsertAtFront = 4, ///< a left click away from points and segments prepends a point
    DragPoint = 5,     ///< the hot point follows the cursor while the left button is held
};
