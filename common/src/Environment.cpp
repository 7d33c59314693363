#include "twds/Environment.h"

#include <cstdlib>

namespace twds {

std::optional<std::string> ProcessEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace twds
