#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace twds {

class DisplayCommand;

// Looks up a catalogue text by id with "&1", "&2", ... replaced by the values
// in order (missing values are empty). Returns bytes in Windows-1252.
using MessageLookup =
    std::function<std::string(int id, std::initializer_list<std::string_view> values)>;

// Catalogue ids of the status-line texts.
namespace message {
inline constexpr int kConnectFailed = 5301;     // &1 machine, &2 reason
inline constexpr int kPageFailed = 5302;        // &1 kind, &2 position, &3 reason
inline constexpr int kFilePageFailed = 5303;    // &1 kind, &2 position, &3 file, &4 reason
inline constexpr int kNameLength = 5304;        // &1 name
inline constexpr int kDuplicateKey = 5305;      // &1 key, &2 list, &3 file
inline constexpr int kNumberOutOfRange = 5306;  // &1 field, &2 file, &3 field text
inline constexpr int kNegativeLength = 5307;    // &1 statement, &2 file, &3 length text
inline constexpr int kDisplayed = 5308;         // &1 name, &2 number of files
inline constexpr int kNoReasonGiven = 5309;
inline constexpr int kExported = 5310;             // &1 file
inline constexpr int kDataPathMissing = 5311;      // &1 registry value, &2 registry location
inline constexpr int kExportFolderMissing = 5312;  // &1 folder
inline constexpr int kExportNotWritten = 5313;     // &1 file, &2 system error
inline constexpr int kExportRefused = 5314;        // &1 name
inline constexpr int kHostLinkNotStarted = 5315;   // &1 what failed
inline constexpr int kInputMissing = 5316;
inline constexpr int kDuplicateKeyOnPage = 5317;      // &1 key, &2 list (CX and GC pages)
inline constexpr int kNumberOutOfRangeOnPage = 5318;  // &1 field, &2 page, &3 field text
inline constexpr int kOutOfMemory = 5319;             // &1 what could not be allocated
inline constexpr int kTooManyRows = 5320;             // &1 file, &2 ZC entries, &3 row budget
}  // namespace message

// A lookup into the installed process-wide catalogue (GetRessource).
[[nodiscard]] MessageLookup InstalledCatalogueLookup();

// The name of the list that pages of `kind` fill: "CX", "GC", "FC", "ZC",
// "SQL" ("End_TW" for "E"; empty for an unknown kind).
[[nodiscard]] std::string_view PageListName(char kind);

// The status-line text after the last Display: what was shown, or what failed
// and where. Empty before the first Display. Field texts and keys are given
// as received, control bytes included.
[[nodiscard]] std::string DescribeOutcome(const DisplayCommand& display,
                                          const MessageLookup& lookup);

// The host link's last error text as the status line shows it: blanks and
// NULs around it removed; the "no reason given" text when nothing is left.
[[nodiscard]] std::string DescribeLastError(std::string_view lastError,
                                            const MessageLookup& lookup);

}  // namespace twds
