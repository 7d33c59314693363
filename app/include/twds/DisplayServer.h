#pragma once

#include <string_view>

#include "twds/HostLinkFactory.h"

namespace twds {

// Whether a window can open: false when the window system the toolkit would
// use (`platform`, from "-platform NAME" or $QT_QPA_PLATFORM; empty for the
// default) needs a display server that the environment does not name, as
// in an ssh session or a service. The toolkit would abort there instead of
// saying why.
[[nodiscard]] bool WindowCanOpen(std::string_view platform, const EnvironmentLookup& variable);

}  // namespace twds
