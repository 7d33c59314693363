#pragma once

#include <filesystem>

#include "BenchOptions.h"

namespace twds::bench {

// Displays the options' user space and writes beside the work files a
// snapshot of it, named as it, with about 1 % of its values changed: one
// byte in every 731 of each ZC page, about one value in a hundred of a
// model's ZC rows. Prints the count of changed bytes; returns the path.
[[nodiscard]] std::filesystem::path WriteChangedModel(const BenchOptions& options);

}  // namespace twds::bench
