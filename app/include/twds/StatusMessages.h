#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "twds/HostLink.h"
#include "twds/Messages.h"

namespace twds {

class DisplayCommand;

// A lookup into the installed process-wide catalogue: the catalogue's text,
// else the built-in English one, its placeholders filled in one pass.
[[nodiscard]] MessageLookup InstalledCatalogueLookup();

// The name of the list that pages of `kind` fill, its tab's caption
// ("End_TW" for "E"; empty for an unknown kind).
[[nodiscard]] std::string_view PageListName(char kind);

// The status-line text after the last Display: what was shown, or what failed
// and where. Empty before the first Display. Field texts and keys are given
// as received, control bytes included.
[[nodiscard]] std::string DescribeOutcome(const DisplayCommand& display,
                                          const MessageLookup& lookup);

// Where the last Display's pages came from ("Source: the sample ..."); ""
// when the host link cannot tell.
[[nodiscard]] std::string DescribeSource(const PageSource& source, const MessageLookup& lookup);

// The machine and user space of the last Display, for the line that keeps
// them in view; "" before any Display got past its input check.
[[nodiscard]] std::string DescribeTarget(const DisplayCommand& display,
                                         const MessageLookup& lookup);

// What the window ignored on its command line; "" when nothing was.
[[nodiscard]] std::string DescribeIgnoredOptions(const std::vector<std::string>& ignored,
                                                 const MessageLookup& lookup);

// A count with its digits grouped by thousands, the catalogue giving the
// separator ("1,234" in English, "1 234" in French).
[[nodiscard]] std::string GroupDigits(std::size_t number, const MessageLookup& lookup);

// The host link's last error text as the status line shows it: blanks and
// NULs around it removed; the "no reason given" text when nothing is left.
[[nodiscard]] std::string DescribeLastError(std::string_view lastError,
                                            const MessageLookup& lookup);

}  // namespace twds
