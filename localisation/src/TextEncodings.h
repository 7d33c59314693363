#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions between the registry's ANSI code page (Windows-1252), UTF-8 and
// UTF-16 LE, for hive files that the Windows registry editor writes in
// UTF-16. The standard library's converters (std::wstring_convert and the
// codecvt facets) are deprecated and know nothing of Windows-1252, hence
// these.
namespace twds {

// Windows-1252 maps the five bytes it leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) to the C1 controls of the same number, as Windows does, so
// that every byte string converts to UTF-8 and back unchanged.
[[nodiscard]] std::string Windows1252ToUtf8(std::string_view bytes);
// Nothing when `text` is not valid UTF-8 or holds a character that
// Windows-1252 cannot hold.
[[nodiscard]] std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// Nothing when `bytes` has an odd length or an unpaired surrogate.
[[nodiscard]] std::optional<std::string> Utf16LeToUtf8(std::string_view bytes);
// `text` must be valid UTF-8.
[[nodiscard]] std::string Utf8ToUtf16Le(std::string_view text);

// The two steps above in one: registry string data of a UTF-16 hive file.
[[nodiscard]] std::optional<std::string> Utf16LeToWindows1252(std::string_view bytes);
[[nodiscard]] std::string Windows1252ToUtf16Le(std::string_view bytes);

}  // namespace twds
