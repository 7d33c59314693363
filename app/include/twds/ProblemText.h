#pragma once

#include <string>
#include <string_view>

#include "twds/Messages.h"
#include "twds/Problem.h"

namespace twds {

class DisplayCommand;

// "error", "warning" or "note": the names --check writes, the same in every
// language.
[[nodiscard]] std::string_view SeverityKeyword(Severity severity);
// The severity's localised name, for the window.
[[nodiscard]] std::string SeverityName(Severity severity, const MessageLookup& lookup);
// The problem's message, localised, its values filled in.
[[nodiscard]] std::string ProblemMessage(const Problem& problem, const MessageLookup& lookup);
// The FicID of the problem's file; empty for the model's pages.
[[nodiscard]] std::string_view ProblemFile(const DisplayCommand& display, const Problem& problem);
// The name of the problem's list, as --find names it ("CX" ... "SQL",
// "End_TW"); empty for one before any page (a failed connection).
[[nodiscard]] std::string_view ProblemListName(const Problem& problem);

// The --check line of a problem (ListingText.h):
//   SEVERITY LIST FILE ROW LABEL MESSAGE
// ROW counts from 1 and is empty when the problem concerns no row.
[[nodiscard]] std::string ProblemLine(const DisplayCommand& display, const Problem& problem,
                                      const MessageLookup& lookup);

// The status line's summary of the problems: their count and the highest
// severity; empty when there are none.
[[nodiscard]] std::string ProblemsSummary(const ProblemList& problems, const MessageLookup& lookup);

}  // namespace twds
