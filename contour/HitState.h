#pragma once

/// What the last mouse move sampled under the cursor dot. Before the first move every field is 0.
struct THitState {
    int CursorViewOffsetX = 0; ///< CursorPos.x - ViewOriginX
    int CursorViewOffsetY = 0; ///< CursorPos.y - ViewOriginY
    int HotPointIndex = 0;     ///< index of the touched point, -1 if none
    int HotSegmentIndex = 0;   ///< index i of the touched segment (point i to i + 1), -1 if none
};
