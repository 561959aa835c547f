// Escape, F3 and the pointer as the window system reported them, asked again only after a motion.
#include "TrackedInput.h"

#include <gtest/gtest.h>

namespace {

TEST(TrackedInput, KeysFollowTheirOwnCodesFromTheKeymapOn)
{
    platform::TTrackedInput input;
    input.SetKeyCodes(9, 69);
    char keymap[32] = {};
    keymap[69 / 8] = static_cast<char>(1 << (69 % 8)); // F3 held at the start
    input.SetKeymap(keymap);
    EXPECT_FALSE(input.Held(platform::Key::Escape));
    EXPECT_TRUE(input.Held(platform::Key::F3));

    input.KeyEvent(9, true);
    input.KeyEvent(10, false); // another key says nothing about these two
    input.KeyEvent(0, false);
    EXPECT_TRUE(input.Held(platform::Key::Escape));
    EXPECT_TRUE(input.Held(platform::Key::F3));
    input.KeyEvent(69, false);
    EXPECT_TRUE(input.Held(platform::Key::Escape));
    EXPECT_FALSE(input.Held(platform::Key::F3));
}

TEST(TrackedInput, ThePointerIsAskedForOnceAfterEachMotion)
{
    platform::TTrackedInput input;
    int asked = 0;
    QPoint at(5, 6);
    const auto query = [&] {
        ++asked;
        return at;
    };
    EXPECT_EQ(input.Pointer(query), QPoint(5, 6));
    at = QPoint(7, 8); // moved without a report: the last answer stands
    EXPECT_EQ(input.Pointer(query), QPoint(5, 6));
    EXPECT_EQ(asked, 1);
    input.PointerMoved();
    input.PointerMoved();
    EXPECT_EQ(input.Pointer(query), QPoint(7, 8));
    EXPECT_EQ(input.Pointer(query), QPoint(7, 8));
    EXPECT_EQ(asked, 2);
}

} // namespace
