#pragma once

#include <string>
#include <string_view>

namespace twds {

// The encoding of the terminal the viewer writes its messages to: the
// process locale's character set (UTF-8 on most systems), or "" where
// messages go out as the ANSI code page's bytes unchanged (Windows).
// Sets the process's character-type locale from the environment first.
[[nodiscard]] std::string TerminalCodeset();

// Windows-1252 bytes as text in `codeset` (an iconv name such as "UTF-8"):
// what a terminal can show. A character the codeset lacks is approximated
// where iconv can, else shown as "?"; "" as the codeset leaves the bytes
// unchanged.
[[nodiscard]] std::string AnsiToTerminal(std::string_view bytes, std::string_view codeset);

}  // namespace twds
