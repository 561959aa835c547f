// Mouse and key gestures of the main window.
#include "Unit1.h"

void TForm1::FormMouseMove(Qt::MouseButtons, int, int) {}
void TForm1::FormMouseDown(Qt::MouseButton, Qt::MouseButtons, int, int) {}
bool TForm1::FormKeyDown(int, Qt::KeyboardModifiers) { return false; }
