#include "HiveDocument.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

#include "TextEncodings.h"
#include "twds/Ascii.h"
#include "twds/Trim.h"

namespace twds::hive {

namespace {

constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";

// ASCII case folding only: names are Windows-1252 bytes, and the letters the
// system's own keys use are all ASCII.
bool SameName(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

bool StartsWithName(std::string_view text, std::string_view prefix) {
    return StartsWithIgnoringAsciiCase(text, prefix);
}

}  // namespace

// A key name as the hive file stores it: components separated by single
// backslashes, no leading backslash, trailing backslashes dropped. Names that
// cannot stand on one line of the file, or that have empty components, are
// refused as Windows refuses them.
std::optional<std::string> NormaliseKeyName(std::string_view keyName) {
    while (!keyName.empty() && keyName.back() == '\\') {
        keyName.remove_suffix(1);
    }
    if (keyName.empty()) {
        return std::string{};
    }
    if (keyName.front() == '\\' || keyName.find("\\\\") != std::string_view::npos ||
        keyName.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(keyName);
}

namespace {

std::optional<std::string> ParseQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                return std::nullopt;
            }
            ++i;
        }
        out.push_back(text[i]);
    }
    return std::nullopt;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::optional<std::uint32_t> ParseHex(std::string_view digits) {
    std::uint32_t value = 0;
    const auto* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, 16);
    if (digits.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// "45,4e,00" (blanks allowed around each byte; empty for no bytes). A loop
// over the characters rather than a split at each comma: a value may run
// over millions of continuation lines.
std::optional<std::string> ParseHexBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 3 + 1);
    std::size_t i = 0;
    const std::size_t size = text.size();
    while (i < size && IsSpaceOrTab(text[i])) {
        ++i;
    }
    if (i == size) {
        return out;
    }
    while (true) {
        while (i < size && IsSpaceOrTab(text[i])) {
            ++i;
        }
        // One or two hex digits (leading zeros allowed), at most 0xFF.
        std::uint32_t value = 0;
        std::size_t digits = 0;
        for (int digit = 0; i < size && (digit = AsciiHexDigitValue(text[i])) >= 0; ++i, ++digits) {
            value = value * 16 + static_cast<std::uint32_t>(digit);
            if (value > 0xFF) {
                return std::nullopt;
            }
        }
        if (digits == 0) {
            return std::nullopt;
        }
        while (i < size && IsSpaceOrTab(text[i])) {
            ++i;
        }
        out.push_back(static_cast<char>(value));
        if (i == size) {
            return out;
        }
        if (text[i] != ',') {
            return std::nullopt;
        }
        ++i;
        std::size_t after = i;
        while (after < size && IsSpaceOrTab(text[after])) {
            ++after;
        }
        if (after == size) {
            return out;  // a trailing comma, as continued lines leave it
        }
    }
}

std::string FormatHexBytes(std::string_view data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(data.size() * 3);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (i > 0) {
            out.push_back(',');
        }
        out.push_back(kDigits[byte >> 4]);
        out.push_back(kDigits[byte & 0x0F]);
    }
    return out;
}

// A name or string of the file's text as the registry functions see it:
// Windows-1252 bytes. Nothing when Windows-1252 cannot hold it.
std::optional<std::string> ToAnsi(HiveForm form, std::string_view text) {
    if (form == HiveForm::Regedit4) {
        return std::string(text);
    }
    return Utf8ToWindows1252(text);
}

std::string FromAnsi(HiveForm form, std::string_view bytes) {
    return form == HiveForm::Regedit4 ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

// The types whose data the ANSI registry functions convert from and to the
// registry's UTF-16, and that a Version 5.00 file therefore holds in UTF-16.
bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The data part of a value line, after "=": its type and raw bytes.
std::optional<ValueData> ParseData(HiveForm form, std::string_view text) {
    text = TrimSpacesAndTabs(text);
    if (!text.empty() && text.front() == '"') {
        const auto quoted = ParseQuoted(text);
        if (!quoted || !TrimSpacesAndTabs(text).empty()) {
            return std::nullopt;
        }
        auto bytes = ToAnsi(form, *quoted);
        if (!bytes) {
            return std::nullopt;
        }
        bytes->push_back('\0');
        return ValueData{kRegSz, std::move(*bytes)};
    }
    if (StartsWithName(text, "dword:")) {
        const auto value = ParseHex(TrimSpacesAndTabs(text.substr(6)));
        if (!value || TrimSpacesAndTabs(text.substr(6)).size() > 8) {
            return std::nullopt;
        }
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) {
            bytes[static_cast<std::size_t>(i)] = static_cast<char>((*value >> (8 * i)) & 0xFF);
        }
        return ValueData{kRegDword, std::move(bytes)};
    }
    std::uint32_t type = kRegBinary;
    if (StartsWithName(text, "hex(")) {
        const auto close = text.find("):");
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        const auto parsed = ParseHex(text.substr(4, close - 4));
        if (!parsed) {
            return std::nullopt;
        }
        type = *parsed;
        text.remove_prefix(close + 2);
    } else if (StartsWithName(text, "hex:")) {
        text.remove_prefix(4);
    } else {
        return std::nullopt;
    }
    auto bytes = ParseHexBytes(text);
    if (bytes && form == HiveForm::Version5 && IsStringType(type)) {
        bytes = Utf16LeToWindows1252(*bytes);
    }
    if (!bytes) {
        return std::nullopt;
    }
    return ValueData{type, std::move(*bytes)};
}

// A value's data part as the file writes it: quoted when the REG_SZ text can
// be read back to the same bytes, dword: for a 4-byte REG_DWORD, raw bytes
// otherwise (string types in UTF-16 in a Version 5.00 file).
std::string FormatData(HiveForm form, std::uint32_t type, std::string_view data) {
    if (type == kRegSz && !data.empty() && data.back() == '\0') {
        const auto text = data.substr(0, data.size() - 1);
        if (text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos) {
            return Quote(FromAnsi(form, text));
        }
    }
    if (type == kRegDword && data.size() == 4) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
        }
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", value);
        return std::string("dword:") + digits;
    }
    if (type == kRegBinary) {
        return "hex:" + FormatHexBytes(data);
    }
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
    if (form == HiveForm::Version5 && IsStringType(type)) {
        return prefix + FormatHexBytes(Windows1252ToUtf16Le(data));
    }
    return prefix + FormatHexBytes(data);
}

// A value line's name part, before "=".
std::string FormatValueName(HiveForm form, std::string_view name) {
    return name.empty() ? std::string("@") : Quote(FromAnsi(form, name));
}

std::string FormatKeyLine(HiveForm form, Hive hive, std::string_view key) {
    std::string line = "[";
    line += HiveName(hive);
    if (!key.empty()) {
        line += '\\';
        line += FromAnsi(form, key);
    }
    line += ']';
    return line;
}

// The line end that closes `raw`: "\r\n", "\n", or "" at the end of the file.
std::string_view LineEnd(std::string_view raw) {
    if (raw.ends_with("\r\n")) {
        return "\r\n";
    }
    return raw.ends_with('\n') ? "\n" : "";
}

// A physical line without its line end; a CR before the end of the file
// counts as part of the line end too.
std::string_view LineContent(std::string_view raw) {
    if (raw.ends_with('\n')) {
        raw.remove_suffix(1);
    }
    if (raw.ends_with('\r')) {
        raw.remove_suffix(1);
    }
    return raw;
}

// Walks the physical lines of a text, one at a time, without copying them.
class PhysicalLines {
public:
    explicit PhysicalLines(std::string_view text) : rest_(text) {}

    [[nodiscard]] bool atEnd() const { return rest_.empty(); }
    // The next line with its line end, without moving on.
    [[nodiscard]] std::string_view peek() {
        if (peeked_ == std::string_view::npos) {
            const auto end = rest_.find('\n');
            peeked_ = end == std::string_view::npos ? rest_.size() : end + 1;
        }
        return rest_.substr(0, peeked_);
    }
    std::string_view next() {
        const auto raw = peek();
        rest_.remove_prefix(raw.size());
        peeked_ = std::string_view::npos;
        return raw;
    }
    // Where the next line starts.
    [[nodiscard]] const char* position() const { return rest_.data(); }

private:
    std::string_view rest_;
    std::size_t peeked_ = std::string_view::npos;  // the next line's length, once found
};

// What a physical line gives a hex value's data: its text without blanks.
std::string_view DataPiece(std::string_view raw) {
    return TrimSpacesAndTabs(LineContent(raw));
}

// Moves `physical` past the continuation lines of a hex value line whose
// data (after "=") begins with `first`: a line ending in "\" continues on the
// next one unless a blank line or the end of the file follows. Returns
// whether it ended that way, on a "\" that joins nothing.
bool SkipContinuedData(std::string_view first, PhysicalLines& physical) {
    for (std::string_view last = first; last.ends_with('\\');) {
        if (physical.atEnd() || DataPiece(physical.peek()).empty()) {
            return true;
        }
        last = DataPiece(physical.next());
    }
    return false;
}

// A value line's data: its type and raw bytes, or nothing when the data
// cannot be parsed (the value then reads as missing). Continuation lines are
// joined here, once the value is asked for; the joined text is allocated
// once, so a long run reads in time proportional to its length.
std::optional<ValueData> ReadValueData(HiveForm form, const HiveLine& line) {
    PhysicalLines physical(line.raw);
    const std::string_view first = DataPiece(physical.next().substr(line.dataStart));
    if (physical.atEnd() && !line.danglingContinuation) {
        return ParseData(form, first);
    }
    std::string joined;
    joined.reserve(line.raw.size());
    joined = first;
    while (!physical.atEnd()) {
        joined.pop_back();  // the "\" that joins the next line
        joined += DataPiece(physical.next());
    }
    if (line.danglingContinuation) {
        joined.pop_back();
    }
    return ParseData(form, joined);
}

// Splits the document's text into logical lines and reads the keys and the
// names of the values. Values before any key line, or under a key of another
// hive, are left as Other lines.
void ParseLines(Hive hive, HiveDocument& document) {
    PhysicalLines physical(document.texts.front());
    std::optional<std::string> section;
    const std::string_view hiveName = HiveName(hive);
    while (!physical.atEnd()) {
        HiveLine line;
        const std::string_view raw = physical.next();
        line.raw = raw;
        const auto text = TrimSpacesAndTabs(LineContent(raw));

        if (!text.empty() && text.front() == '[') {
            section.reset();
            if (text.size() >= 2 && text.back() == ']') {
                const auto path = text.substr(1, text.size() - 2);
                if (StartsWithName(path, hiveName) &&
                    (path.size() == hiveName.size() || path[hiveName.size()] == '\\')) {
                    const auto normalised =
                        NormaliseKeyName(path.substr(hiveName.size())
                                             .substr(path.size() == hiveName.size() ? 0 : 1));
                    const auto key = normalised ? ToAnsi(document.form, *normalised) : std::nullopt;
                    if (key) {
                        line.kind = HiveLine::Kind::Key;
                        line.key = *key;
                        section = *key;
                    }
                }
            }
            document.lines.push_back(std::move(line));
            continue;
        }

        if (!text.empty() && (text.front() == '"' || text.front() == '@')) {
            std::string_view rest = text;
            std::optional<std::string> name;
            bool nameRead = true;
            if (rest.front() == '@') {
                name = std::string{};
                rest.remove_prefix(1);
            } else if (const auto quoted = ParseQuoted(rest)) {
                name = ToAnsi(document.form, *quoted);
            } else {
                nameRead = false;
            }
            rest = TrimSpacesAndTabs(rest);
            if (nameRead && !rest.empty() && rest.front() == '=') {
                const std::string_view data = TrimSpacesAndTabs(rest.substr(1));
                // Only hex data runs on over continuation lines.
                if (StartsWithName(data, "hex")) {
                    line.danglingContinuation = SkipContinuedData(data, physical);
                    line.raw = std::string_view(
                        raw.data(), static_cast<std::size_t>(physical.position() - raw.data()));
                }
                if (section && name) {
                    line.kind = HiveLine::Kind::Value;
                    line.key = *section;
                    line.name = std::move(*name);
                    line.dataStart = static_cast<std::size_t>(rest.data() + 1 - raw.data());
                }
            }
        }
        document.lines.push_back(std::move(line));
    }
}

}  // namespace

// Parses a hive file's bytes. An empty file is an empty hive. Nothing (and
// `problem` says why) when the bytes are not a hive file in either form: such
// a file is neither read nor rewritten, since what a rewrite would make of
// bytes it does not understand cannot be foreseen.
Result<HiveDocument> ParseHiveFile(Hive hive, std::string bytes) {
    HiveDocument document;
    if (bytes.empty()) {
        return document;
    }
    std::string_view header = kRegedit4Header;
    if (std::string_view(bytes).starts_with(kUtf16LeByteOrderMark)) {
        auto utf8 = Utf16LeToUtf8(std::string_view(bytes).substr(kUtf16LeByteOrderMark.size()));
        if (!utf8) {
            return Failure{
                "it begins as a UTF-16 file but is not valid UTF-16 (an odd number of "
                "bytes, or an unpaired surrogate)"};
        }
        bytes = std::move(*utf8);
        header = kVersion5Header;
        document.form = HiveForm::Version5;
    }
    document.keep(std::move(bytes));
    ParseLines(hive, document);
    // A byte-order mark alone leaves no line at all.
    const std::string_view first =
        document.lines.empty() ? std::string_view() : document.lines.front().raw;
    if (TrimSpacesAndTabs(LineContent(first)) != header) {
        return Failure{
            "its first line is neither \"REGEDIT4\" (a file in the ANSI code page) nor "
            "\"Windows Registry Editor Version 5.00\" (a UTF-16 file with a byte-order "
            "mark)"};
    }
    if (!LineEnd(first).empty()) {
        document.newline = std::string(LineEnd(first));
    }
    return document;
}

bool KeyExists(const HiveDocument& document, std::string_view key) {
    const auto& lines = document.lines;
    if (key.empty()) {
        return true;  // the hive itself
    }
    const std::string subKeyPrefix = std::string(key) + "\\";
    return std::any_of(lines.begin(), lines.end(), [&](const HiveLine& line) {
        return line.kind == HiveLine::Kind::Key &&
               (SameName(line.key, key) || StartsWithName(line.key, subKeyPrefix));
    });
}

namespace {

bool NamesValue(const HiveLine& line, std::string_view key, std::string_view name) {
    return line.kind == HiveLine::Kind::Value && SameName(line.key, key) &&
           SameName(line.name, name);
}

}  // namespace

// The last readable value `name` of `key`.
std::optional<ValueData> FindValue(const HiveDocument& document, std::string_view key,
                                   std::string_view name) {
    for (auto line = document.lines.rbegin(); line != document.lines.rend(); ++line) {
        if (NamesValue(*line, key, name)) {
            if (auto data = ReadValueData(document.form, *line)) {
                return data;
            }
        }
    }
    return std::nullopt;
}

namespace {

bool IsBlank(const HiveLine& line) {
    return TrimSpacesAndTabs(LineContent(line.raw)).empty();
}

// Gives a line (the file's last) a line end before a line is added after it.
void EndLine(HiveDocument& document, HiveLine& line) {
    if (!LineEnd(line.raw).empty()) {
        return;
    }
    // A CR already there becomes the first half of a CR LF.
    const bool halfEnded = document.newline == "\r\n" && line.raw.ends_with('\r');
    line.raw = document.keep(std::string(line.raw) + (halfEnded ? "\n" : document.newline));
}

HiveLine OtherLine(HiveDocument& document, std::string text) {
    HiveLine line;
    line.raw = document.keep(std::move(text));
    return line;
}

}  // namespace

// Adds an empty key section at the end of the file (with the header first,
// in a new file).
void AppendKey(HiveDocument& document, Hive hive, std::string_view key) {
    auto& lines = document.lines;
    if (lines.empty()) {
        lines.push_back(OtherLine(document, std::string(kRegedit4Header) + document.newline));
    }
    EndLine(document, lines.back());
    if (!IsBlank(lines.back())) {
        lines.push_back(OtherLine(document, document.newline));
    }
    HiveLine keyLine;
    keyLine.kind = HiveLine::Kind::Key;
    keyLine.raw = document.keep(FormatKeyLine(document.form, hive, key) + document.newline);
    keyLine.key = std::string(key);
    lines.push_back(std::move(keyLine));
}

// Sets one value: the last line that holds it is replaced (keeping its line
// end) and earlier duplicates are dropped; a new value goes at the end of its
// key's last section (which is added when the key has none). A line that
// names the value but whose data cannot be read does not hold it, and stays.
void PutValue(HiveDocument& document, Hive hive, std::string_view key, std::string_view name,
              std::uint32_t type, std::string_view data) {
    auto& lines = document.lines;
    const auto holds = [&](const HiveLine& line) {
        return NamesValue(line, key, name) && ReadValueData(document.form, line).has_value();
    };
    const auto valueLine = [&](std::string_view spelling, std::string_view lineEnd) {
        HiveLine value;
        value.kind = HiveLine::Kind::Value;
        value.key = std::string(key);
        value.name = std::string(spelling);
        std::string text = FormatValueName(document.form, spelling) + "=";
        value.dataStart = text.size();
        text += FormatData(document.form, type, data);
        text += lineEnd;
        value.raw = document.keep(std::move(text));
        return value;
    };
    const auto last = std::find_if(lines.rbegin(), lines.rend(), holds);
    if (last != lines.rend()) {
        // The value keeps the spelling of its name, as on Windows.
        const std::string spelling = last->name;
        *last = valueLine(spelling, LineEnd(last->raw));
        const auto keptIndex = static_cast<std::size_t>(std::prev(last.base()) - lines.begin());
        std::vector<HiveLine> result;
        result.reserve(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i == keptIndex || !holds(lines[i])) {
                result.push_back(std::move(lines[i]));
            }
        }
        lines = std::move(result);
        return;
    }

    HiveLine value = valueLine(name, document.newline);
    std::optional<std::size_t> sectionStart;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == HiveLine::Kind::Key && SameName(lines[i].key, key)) {
            sectionStart = i;
        }
    }
    if (!sectionStart) {
        AppendKey(document, hive, key);
        lines.push_back(std::move(value));
        return;
    }
    std::size_t end = *sectionStart + 1;
    while (end < lines.size() && TrimSpacesAndTabs(lines[end].raw).substr(0, 1) != "[") {
        ++end;
    }
    while (end > *sectionStart + 1 && IsBlank(lines[end - 1])) {
        --end;
    }
    EndLine(document, lines[end - 1]);
    if (lines[end - 1].danglingContinuation) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end++),
                     OtherLine(document, document.newline));
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), std::move(value));
}

// The file's bytes: its lines in its own form.
std::string Serialise(const HiveDocument& document) {
    std::size_t size = 0;
    for (const auto& line : document.lines) {
        size += line.raw.size();
    }
    std::string text;
    text.reserve(size);
    for (const auto& line : document.lines) {
        text += line.raw;
    }
    if (document.form == HiveForm::Regedit4) {
        return text;
    }
    return std::string(kUtf16LeByteOrderMark) + Utf8ToUtf16Le(text);
}

}  // namespace twds::hive
