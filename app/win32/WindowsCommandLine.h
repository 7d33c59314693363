#pragma once

#include "twds/CommandLine.h"

namespace twds::win32 {

// The process's command line, parsed: the system's wide arguments in the
// ANSI code page. An address, name or text to find that the page cannot
// hold is flagged as such (argumentTextNotAnsi, findTextNotAnsi) rather
// than shown with "?" in place of what it lacks.
[[nodiscard]] CommandLine ProcessCommandLine();

}  // namespace twds::win32
