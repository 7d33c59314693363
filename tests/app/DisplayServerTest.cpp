#include "twds/DisplayServer.h"

#include <gtest/gtest.h>

#include <map>

namespace twds {
namespace {

#ifndef _WIN32
TEST(DisplayServerTest, AWindowNeedsTheServerItsPlatformTalksTo) {
    const auto with = [](std::map<std::string, std::string> variables) {
        return [variables](const char* name) -> std::optional<std::string> {
            const auto found = variables.find(name);
            return found == variables.end() ? std::nullopt
                                            : std::optional<std::string>(found->second);
        };
    };
    const auto none = with({});
    EXPECT_FALSE(WindowCanOpen("", none));
    EXPECT_FALSE(WindowCanOpen("xcb", none));
    EXPECT_FALSE(WindowCanOpen("wayland;xcb", none));
    EXPECT_FALSE(WindowCanOpen("", with({{"DISPLAY", ""}})));
    EXPECT_TRUE(WindowCanOpen("", with({{"DISPLAY", ":0"}})));
    EXPECT_TRUE(WindowCanOpen("xcb", with({{"WAYLAND_DISPLAY", "wayland-0"}})));
    EXPECT_TRUE(WindowCanOpen("wayland-egl", with({{"WAYLAND_DISPLAY", "wayland-0"}})));
    EXPECT_TRUE(WindowCanOpen("offscreen", none));
    EXPECT_TRUE(WindowCanOpen("vnc:size=800x600", none));
}
#endif

}  // namespace
}  // namespace twds
