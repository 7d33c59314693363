#include "twds/DisplayServer.h"

namespace twds {

#ifndef _WIN32
namespace {

[[nodiscard]] bool IsSet(const EnvironmentLookup& variable, const char* name) {
    const std::optional<std::string> value = variable(name);
    return value && !value->empty();
}

}  // namespace
#endif

bool WindowCanOpen(std::string_view platform, const EnvironmentLookup& variable) {
#ifdef _WIN32
    (void)platform;
    (void)variable;
    return true;
#else
    // "wayland;xcb" lists fall-backs; "wayland-egl" and the like are Wayland.
    const std::string_view first = platform.substr(0, platform.find(';'));
    if (first.empty() || first.starts_with("xcb")) {
        return IsSet(variable, "DISPLAY") || IsSet(variable, "WAYLAND_DISPLAY");
    }
    if (first.starts_with("wayland")) {
        return IsSet(variable, "WAYLAND_DISPLAY") || IsSet(variable, "DISPLAY");
    }
    // offscreen, minimal, vnc, eglfs, linuxfb...: no display server needed,
    // or one the toolkit reports on itself.
    return true;
#endif
}

}  // namespace twds
