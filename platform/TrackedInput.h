#pragma once

#include "Services.h"

#include <QPoint>

namespace platform {

/// What the window system has already told the program about Escape, F3 and the pointer, so that a
/// timer tick need not ask it again: the keys follow the key events, and the pointer is asked for
/// only after something says it may have moved.
class TTrackedInput {
public:
    /// The key codes of Escape and F3 on the display (0 where the display has no such key).
    void SetKeyCodes(unsigned escape, unsigned f3)
    {
        escapeCode_ = escape;
        f3Code_ = f3;
    }
    /// The held keys from a keymap of 256 bits, one per key code.
    void SetKeymap(const char keymap[32])
    {
        const auto bit = [&](unsigned code) { return code != 0 && ((keymap[code / 8] >> (code % 8)) & 1) != 0; };
        escape_ = bit(escapeCode_);
        f3_ = bit(f3Code_);
    }
    void KeyEvent(unsigned code, bool down)
    {
        if (code == 0)
            return;
        if (code == escapeCode_)
            escape_ = down;
        else if (code == f3Code_)
            f3_ = down;
    }
    bool Held(Key key) const { return key == Key::Escape ? escape_ : key == Key::F3 ? f3_ : false; }

    /// Any sign of a pointer motion: the next read asks the window system again.
    void PointerMoved() { pointerKnown_ = false; }
    /// The pointer in screen coordinates: the last answer of `query` while nothing has moved it.
    template <class Query>
    QPoint Pointer(Query&& query)
    {
        if (!pointerKnown_) {
            // Known before asking: a motion reported while the answer travels asks again.
            pointerKnown_ = true;
            pointer_ = query();
        }
        return pointer_;
    }

private:
    unsigned escapeCode_ = 0;
    unsigned f3Code_ = 0;
    bool escape_ = false;
    bool f3_ = false;
    bool pointerKnown_ = false;
    QPoint pointer_;
};

} // namespace platform
