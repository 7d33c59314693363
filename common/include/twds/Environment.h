#pragma once

#include <functional>
#include <optional>
#include <string>

namespace twds {

// The value of an environment variable, or nothing when it is not set.
// Passed to what reads the environment, so that tests can give their own.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// The lookup into this process's environment.
[[nodiscard]] std::optional<std::string> ProcessEnvironment(const char* name);

}  // namespace twds
