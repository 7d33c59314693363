#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace twds {

// How bad an anomaly of a user space is: an error hides or changes what the
// user space says, a warning shows less than it claims, a note reads a field
// in a way the user may not expect.
enum class Severity : std::uint8_t { Note, Warning, Error };

// One anomaly a Display met: where (the page kind of its list or End_TW, the
// file, the row) and what (a catalogue message with up to three values).
// Problems are made only when something is wrong, so a clean row costs
// nothing but the checks' comparisons.
struct Problem {
    static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

    Severity severity = Severity::Note;
    char pageKind = 0;                  // "C", "G", "E", "F", "Z" or "S"
    int fileNumber = 0;                 // FC entry n (1-based); 0 for the model's pages
    std::size_t row = kNoRow;           // the row of the list it points at
    std::string label;                  // that row's label, as shown
    int messageId = 0;                  // one of message::kProblem...
    std::array<std::string, 3> values;  // the message's &1, &2, &3
    int detailId = 0;                   // when not 0, the catalogue text that stands for &2
};

using ProblemList = std::vector<Problem>;

// The highest severity among the problems; Note when there are none.
[[nodiscard]] Severity HighestSeverity(const ProblemList& problems);

}  // namespace twds
