// Whether anything but the quiet timers ran since a tick last looked.
#include "EventActivity.h"

#include <gtest/gtest.h>

namespace {

TEST(EventActivity, OnlyDeliveriesThatAreNotQuietCountAndANestedLookAlwaysSaysChanged)
{
    platform::TEventActivity activity;
    std::uint64_t seen = platform::NeverLooked;
    const auto tick = [&] { // a quiet timer's delivery that looks
        activity.Enter();
        const bool any = activity.Since(seen);
        activity.Leave(true);
        return any;
    };
    EXPECT_TRUE(tick()) << "the first look";
    EXPECT_FALSE(tick()) << "only the tick ran";

    activity.Enter(); // a mouse event, its handler running a nested event loop
    EXPECT_TRUE(tick()) << "inside the handler, which may change more after the nested tick";
    activity.Leave(false);
    EXPECT_TRUE(tick()) << "the handler completed after the nested look";
    EXPECT_FALSE(tick());

    activity.Enter();
    activity.Leave(true); // another quiet timer
    EXPECT_FALSE(tick());
}

} // namespace
