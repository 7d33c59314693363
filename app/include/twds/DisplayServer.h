#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace twds {

// The value of an environment variable, or nothing when it is not set.
using VariableLookup = std::function<std::optional<std::string>(const char* name)>;

// Whether a window can open: false when the window system the toolkit would
// use (`platform`, from "-platform NAME" or $QT_QPA_PLATFORM; empty for the
// default) needs a display server that the environment does not name, as
// in an ssh session or a service. The toolkit would abort there instead of
// saying why.
[[nodiscard]] bool WindowCanOpen(std::string_view platform, const VariableLookup& variable);

}  // namespace twds
