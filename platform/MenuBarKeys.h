#pragma once

class QMenuBar;

namespace platform {

/// Opens a window's menu bar to the keyboard as desktop programs do: Alt pressed and released alone,
/// or F10, puts the focus on the menu bar with its first menu highlighted; the arrow keys, Enter and
/// Escape then work as usual, and the same key again leaves it. Alt held while the wheel turns is no
/// such tap. The captions stay as they are: no mnemonic is added to them.
void EnableMenuBarKeys(QMenuBar* menuBar);

} // namespace platform
