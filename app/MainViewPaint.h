#pragma once

class Canvas;
class TForm1;

/// The whole paint of the main window's client area on `canvas`: ViewImage at (0, 0), then the
/// contour's dots and segments, the cursor dot and the rubber band, from the module state.
/// FormPaint runs it on the client area; tests and benchmarks run it on a QImage.
void PaintMainView(TForm1& form, Canvas& canvas);
