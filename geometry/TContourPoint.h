#pragma once

/// One point of the digitised contour or of the profile table: three doubles in this order.
/// z is 0 wherever the program creates a point; it exists so that contour points and profile
/// coordinates share one layout and can be turned about any of the three axes.
struct TContourPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};
