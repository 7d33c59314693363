#pragma once

#include <ostream>
#include <string_view>

#include "twds/CommandLine.h"

namespace twds {

// True when the command line asks for something that runs without a window:
// --help, --version, --export, --find, or arguments that cannot be used. The window's
// main calls RunHeadless for these before creating any Qt object.
[[nodiscard]] bool IsHeadlessRequest(const CommandLine& commandLine);

// Runs a headless request and returns the process exit status:
//   0  the help or version was shown, or the user space was displayed
//      completely and its export written;
//   1  the Display or the export failed (a Display that stopped part-way is
//      still exported);
//   2  the command line cannot be used.
// With --find, as grep answers: the matching rows' lines (ListingText.h) go
// to `out`, and the status is 0 when a row matched, 1 when none did (or the
// text cannot be in a user space: nothing is displayed then), 2 when the
// command line cannot be used, the Display did not complete (what it found
// is listed all the same) or the lines could not be written.
// The export goes where the Export button would write it, to --output FILE,
// or to standard output with "--output -". Where the pages came from and
// each failure are one line each on standard error, with the status line's
// texts in the terminal's encoding.
int RunHeadless(const CommandLine& commandLine);
// The same with explicit streams; `out` receives the export for "--output -",
// so it must be a binary stream. Messages go to `err` converted to
// `terminalCodeset` (an iconv name), or as Windows-1252 bytes when it is "".
int RunHeadless(const CommandLine& commandLine, std::ostream& out, std::ostream& err,
                std::string_view terminalCodeset = {});

}  // namespace twds
