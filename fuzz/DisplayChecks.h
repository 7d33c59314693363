#pragma once

#include <cstddef>

#include "twds/DisplayCommand.h"
#include "twds/PageLabels.h"

namespace twds::fuzz {

// The page labels of the viewer's English catalogue (data/twmgr.ressource.EN
// of the source tree), loaded once per process: the real labels, so that a
// catalogue whose labels repeat within a page would show up as a stop.
[[nodiscard]] const PageLabels& EnglishLabels();

// Whether a fuzz target refuses the next page of this kind to keep one
// input's run short: past a total of 50,000 rows, or a ZC page of more than
// 1,000 entries (large counts are the benchmarks' and unit tests' business).
[[nodiscard]] bool TooLargeToFuzz(const DisplayCommand& display, char kind);

// Checks what a Display left behind: an outcome that matches the lists and
// the kept numbers, unique row keys, and an export that holds exactly the
// rows shown. `bounded`: the fuzz target refused a retrieval to keep the run
// short, so the Display may have stopped early.
void CheckDisplay(const DisplayCommand& display, bool bounded);

}  // namespace twds::fuzz
