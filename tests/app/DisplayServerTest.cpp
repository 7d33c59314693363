#include <gtest/gtest.h>

#include "twds/DisplayServer.h"

namespace twds {
namespace {

#ifndef _WIN32
TEST(DisplayServerTest, AWindowNeedsTheServerItsPlatformTalksTo) {
    // The one environment variable set, or none.
    const auto with = [](std::string variable, std::string value) {
        return [=](const char* name) {
            return name == variable ? std::optional<std::string>(value) : std::nullopt;
        };
    };
    const auto none = with("", "");
    EXPECT_FALSE(WindowCanOpen("", none));
    EXPECT_FALSE(WindowCanOpen("wayland;xcb", none));
    EXPECT_FALSE(WindowCanOpen("", with("DISPLAY", "")));
    EXPECT_TRUE(WindowCanOpen("", with("DISPLAY", ":0")));
    EXPECT_TRUE(WindowCanOpen("xcb", with("WAYLAND_DISPLAY", "wayland-0")));
    EXPECT_TRUE(WindowCanOpen("wayland-egl", with("WAYLAND_DISPLAY", "wayland-0")));
    EXPECT_TRUE(WindowCanOpen("offscreen", none));
    EXPECT_TRUE(WindowCanOpen("vnc:size=800x600", none));
}
#endif

}  // namespace
}  // namespace twds
