#include "twds/FileRegistryStore.h"
#include "twds/Trim.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

namespace twds {

namespace {

// Status codes, numbered as the Windows registry functions number them so
// that callers see the same values on every system.
constexpr std::int32_t kFileNotFound = 2;
constexpr std::int32_t kInvalidHandle = 6;
constexpr std::int32_t kWriteFault = 29;
constexpr std::int32_t kInvalidName = 123;

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::uint32_t kRegBinary = 3;

// ASCII case folding only: names are Windows-1252 bytes, and the letters the
// system's own keys use are all ASCII.
char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

bool StartsWithName(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

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

// One logical line of a hive file: a key line, a value line or anything else
// (header, comment, blank, deletion, or a line that cannot be parsed). A value
// written with continuation lines is one logical line; `raw` keeps its
// physical lines so that a rewrite leaves it untouched.
struct HiveLine {
    enum class Kind { Other, Key, Value };
    Kind kind = Kind::Other;
    std::string raw;
    std::string key;   // Key: its name; Value: the name of the key above it
    std::string name;  // Value: its name ("" for the default value)
    std::uint32_t type = 0;
    std::string data;
    // A hex value whose last line ends in a "\" that joins nothing (a blank
    // line or the end of the file follows): a line written right after it
    // must be kept apart by a blank line.
    bool danglingContinuation = false;
};

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

// "45,4e,00" (blanks allowed around each byte; empty for no bytes).
std::optional<std::string> ParseHexBytes(std::string_view text) {
    std::string out;
    text = TrimSpacesAndTabs(text);
    if (text.empty()) {
        return out;
    }
    while (true) {
        const auto comma = text.find(',');
        const auto byte = ParseHex(TrimSpacesAndTabs(text.substr(0, comma)));
        if (!byte || *byte > 0xFF) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*byte));
        if (comma == std::string_view::npos) {
            return out;
        }
        text.remove_prefix(comma + 1);
        if (TrimSpacesAndTabs(text).empty()) {
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

// The data part of a value line, after "=": its type and raw bytes.
std::optional<std::pair<std::uint32_t, std::string>> ParseData(std::string_view text) {
    text = TrimSpacesAndTabs(text);
    if (!text.empty() && text.front() == '"') {
        auto quoted = ParseQuoted(text);
        if (!quoted || !TrimSpacesAndTabs(text).empty()) {
            return std::nullopt;
        }
        quoted->push_back('\0');
        return std::pair{kRegSz, std::move(*quoted)};
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
        return std::pair{kRegDword, std::move(bytes)};
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
    if (!bytes) {
        return std::nullopt;
    }
    return std::pair{type, std::move(*bytes)};
}

// A value's data part as the file writes it: quoted when the REG_SZ text can
// be read back to the same bytes, dword: for a 4-byte REG_DWORD, raw bytes
// otherwise.
std::string FormatData(std::uint32_t type, std::string_view data) {
    if (type == kRegSz && !data.empty() && data.back() == '\0') {
        const auto text = data.substr(0, data.size() - 1);
        if (text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos) {
            return Quote(text);
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
    return prefix + FormatHexBytes(data);
}

std::string FormatValueLine(std::string_view name, std::uint32_t type, std::string_view data) {
    return (name.empty() ? std::string("@") : Quote(name)) + "=" + FormatData(type, data);
}

std::string FormatKeyLine(Hive hive, std::string_view key) {
    std::string line = "[";
    line += HiveName(hive);
    if (!key.empty()) {
        line += '\\';
        line += key;
    }
    line += ']';
    return line;
}

bool IsContinued(std::string_view line) {
    line = TrimSpacesAndTabs(line);
    return !line.empty() && line.back() == '\\';
}

// Splits the file into logical lines and reads the keys and values it can.
// Values before any key line, or under a key of another hive, are ignored.
std::vector<HiveLine> ParseHive(Hive hive, std::string_view content) {
    std::vector<std::string_view> physical;
    while (!content.empty()) {
        const auto end = content.find('\n');
        auto line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        physical.push_back(line);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    }

    std::vector<HiveLine> lines;
    std::optional<std::string> section;
    const std::string_view hiveName = HiveName(hive);
    for (std::size_t i = 0; i < physical.size(); ++i) {
        HiveLine line;
        line.raw = std::string(physical[i]);
        const auto text = TrimSpacesAndTabs(physical[i]);

        if (!text.empty() && text.front() == '[') {
            section.reset();
            if (text.size() >= 2 && text.back() == ']') {
                const auto path = text.substr(1, text.size() - 2);
                if (StartsWithName(path, hiveName) &&
                    (path.size() == hiveName.size() || path[hiveName.size()] == '\\')) {
                    const auto key =
                        NormaliseKeyName(path.substr(hiveName.size())
                                             .substr(path.size() == hiveName.size() ? 0 : 1));
                    if (key) {
                        line.kind = HiveLine::Kind::Key;
                        line.key = *key;
                        section = *key;
                    }
                }
            }
            lines.push_back(std::move(line));
            continue;
        }

        if (!text.empty() && (text.front() == '"' || text.front() == '@')) {
            std::string_view rest = text;
            std::optional<std::string> name;
            if (rest.front() == '@') {
                name = std::string{};
                rest.remove_prefix(1);
            } else {
                name = ParseQuoted(rest);
            }
            rest = TrimSpacesAndTabs(rest);
            if (section && name && !rest.empty() && rest.front() == '=') {
                // Only hex data runs on over continuation lines ending in "\\".
                std::string data(TrimSpacesAndTabs(rest.substr(1)));
                if (StartsWithName(data, "hex")) {
                    while (IsContinued(data)) {
                        data = std::string(TrimSpacesAndTabs(data));
                        data.pop_back();
                        // A blank line or the end of the file ends the value:
                        // the "\" joins nothing.
                        if (i + 1 >= physical.size() ||
                            TrimSpacesAndTabs(physical[i + 1]).empty()) {
                            line.danglingContinuation = true;
                            break;
                        }
                        ++i;
                        line.raw += "\r\n";
                        line.raw += physical[i];
                        data += TrimSpacesAndTabs(physical[i]);
                    }
                }
                if (auto value = ParseData(data)) {
                    line.kind = HiveLine::Kind::Value;
                    line.key = *section;
                    line.name = std::move(*name);
                    line.type = value->first;
                    line.data = std::move(value->second);
                }
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool KeyExists(const std::vector<HiveLine>& lines, std::string_view key) {
    if (key.empty()) {
        return true;  // the hive itself
    }
    const std::string subKeyPrefix = std::string(key) + "\\";
    return std::any_of(lines.begin(), lines.end(), [&](const HiveLine& line) {
        return line.kind == HiveLine::Kind::Key &&
               (SameName(line.key, key) || StartsWithName(line.key, subKeyPrefix));
    });
}

const HiveLine* FindValue(const std::vector<HiveLine>& lines, std::string_view key,
                          std::string_view name) {
    const auto found = std::find_if(lines.rbegin(), lines.rend(), [&](const HiveLine& line) {
        return line.kind == HiveLine::Kind::Value && SameName(line.key, key) &&
               SameName(line.name, name);
    });
    return found == lines.rend() ? nullptr : &*found;
}

bool IsBlank(const HiveLine& line) {
    return TrimSpacesAndTabs(line.raw).empty();
}

// Adds an empty key section at the end of the file.
void AppendKey(std::vector<HiveLine>& lines, Hive hive, std::string_view key) {
    if (!lines.empty() && !IsBlank(lines.back())) {
        lines.push_back(HiveLine{});
    }
    HiveLine keyLine;
    keyLine.kind = HiveLine::Kind::Key;
    keyLine.raw = FormatKeyLine(hive, key);
    keyLine.key = std::string(key);
    lines.push_back(std::move(keyLine));
}

// Sets one value: the last line that holds it is replaced and earlier
// duplicates are dropped; a new value goes at the end of its key's last
// section (which is added when the key has none).
void PutValue(std::vector<HiveLine>& lines, Hive hive, std::string_view key, std::string_view name,
              std::uint32_t type, std::string_view data) {
    HiveLine value;
    value.kind = HiveLine::Kind::Value;
    value.raw = FormatValueLine(name, type, data);
    value.key = std::string(key);
    value.name = std::string(name);
    value.type = type;
    value.data = std::string(data);

    const auto holds = [&](const HiveLine& line) {
        return line.kind == HiveLine::Kind::Value && SameName(line.key, key) &&
               SameName(line.name, name);
    };
    const auto last = std::find_if(lines.rbegin(), lines.rend(), holds);
    if (last != lines.rend()) {
        // The value keeps the spelling of its name, as on Windows.
        value.name = last->name;
        value.raw = FormatValueLine(value.name, type, data);
        *last = std::move(value);
        const auto kept = std::prev(last.base());
        std::size_t keptIndex = static_cast<std::size_t>(kept - lines.begin());
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

    std::optional<std::size_t> sectionStart;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == HiveLine::Kind::Key && SameName(lines[i].key, key)) {
            sectionStart = i;
        }
    }
    if (!sectionStart) {
        AppendKey(lines, hive, key);
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
    if (lines[end - 1].danglingContinuation) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end++), HiveLine{});
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), std::move(value));
}

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

// The file's bytes; an empty text when it does not exist; nullopt (and
// `error` set) when it exists but cannot be read.
std::optional<std::string> ReadHiveFile(const std::filesystem::path& file, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        if (ec) {
            error = "Cannot read the registry file " + file.string() + ": " + ec.message();
            return std::nullopt;
        }
        return std::string{};
    }
    if (!std::filesystem::is_regular_file(file, ec)) {
        error = "Cannot read the registry file " + file.string() + ": it is not a regular file";
        return std::nullopt;
    }
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "Cannot read the registry file " + file.string() + ": " +
                ErrnoText(errno != 0 ? errno : EIO);
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        error = "Cannot read the registry file " + file.string() + ": " + ErrnoText(EIO);
        return std::nullopt;
    }
    return std::move(content).str();
}

// Replaces the file in one step: the new text goes to a temporary file in the
// same folder, which is then renamed over it, so a reader sees either the old
// or the new file and a failed write leaves the old one in place.
bool WriteHiveFile(const std::filesystem::path& file, const std::vector<HiveLine>& lines,
                   std::string& error) {
    std::string text;
    if (lines.empty() || TrimSpacesAndTabs(lines.front().raw) != kHeader) {
        text += kHeader;
        text += "\r\n";
        if (!lines.empty() && !IsBlank(lines.front())) {
            text += "\r\n";
        }
    }
    for (const auto& line : lines) {
        text += line.raw;
        text += "\r\n";
    }

    std::random_device random;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    const auto temporary = file.parent_path() / (file.filename().string() + suffix);
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "Cannot write the registry file " + file.string() + ": " +
                    ErrnoText(errno != 0 ? errno : EIO);
            return false;
        }
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            error = "Cannot write the registry file " + file.string() + ": " +
                    ErrnoText(errno != 0 ? errno : EIO);
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, file, ec);
    if (ec) {
        error = "Cannot replace the registry file " + file.string() + ": " + ec.message();
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

bool EnsureFolder(const std::filesystem::path& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) {
        error = "Cannot create the registry folder " + folder.string() + ": " +
                (ec ? ec.message() : ErrnoText(ENOTDIR));
        return false;
    }
    return true;
}

}  // namespace

FileRegistryStore::FileRegistryStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path FileRegistryStore::DefaultFolder() {
    if (const char* folder = std::getenv("TWDSPUSRSPC_REGISTRY"); folder && *folder) {
        return folder;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        return std::filesystem::path(config) / "twDspUsrSpc" / "registry";
    }
    const char* home = std::getenv("HOME");
    const std::filesystem::path base = (home && *home) ? home : ".";
    return base / ".config" / "twDspUsrSpc" / "registry";
}

std::filesystem::path FileRegistryStore::hiveFile(Hive hive) const {
    return folder_ / (std::string(HiveName(hive)) + ".reg");
}

std::string FileRegistryStore::location() const {
    return folder_.string();
}

RegistryStore::KeyHandle FileRegistryStore::openKey(Hive hive, std::string_view keyName) {
    const auto key = NormaliseKeyName(keyName);
    if (!key) {
        return 0;
    }
    std::string error;
    const auto content = ReadHiveFile(hiveFile(hive), error);
    if (!content || !KeyExists(ParseHive(hive, *content), *key)) {
        return 0;
    }
    const KeyHandle handle = nextHandle_++;
    open_.emplace(handle, OpenKey{hive, *key});
    return handle;
}

RegistryStore::KeyHandle FileRegistryStore::createKey(Hive hive, std::string_view keyName,
                                                      std::string& error) {
    const auto key = NormaliseKeyName(keyName);
    if (!key) {
        error = "The registry key name \"" + std::string(keyName) + "\" is not valid";
        return 0;
    }
    const auto file = hiveFile(hive);
    auto content = ReadHiveFile(file, error);
    if (!content) {
        return 0;
    }
    auto lines = ParseHive(hive, *content);
    if (!KeyExists(lines, *key)) {
        AppendKey(lines, hive, *key);
        if (!EnsureFolder(folder_, error) || !WriteHiveFile(file, lines, error)) {
            return 0;
        }
    }
    const KeyHandle handle = nextHandle_++;
    open_.emplace(handle, OpenKey{hive, *key});
    return handle;
}

void FileRegistryStore::closeKey(KeyHandle key) {
    open_.erase(key);
}

std::int32_t FileRegistryStore::queryValue(KeyHandle key, std::string_view valueName,
                                           std::uint32_t& type, std::string& data) {
    const auto open = open_.find(key);
    if (open == open_.end()) {
        return kInvalidHandle;
    }
    std::string error;
    const auto content = ReadHiveFile(hiveFile(open->second.hive), error);
    if (!content) {
        return kFileNotFound;
    }
    const auto lines = ParseHive(open->second.hive, *content);
    const HiveLine* value = FindValue(lines, open->second.name, valueName);
    if (value == nullptr) {
        return kFileNotFound;
    }
    type = value->type;
    data = value->data;
    return 0;
}

std::int32_t FileRegistryStore::setValue(KeyHandle key, std::string_view valueName,
                                         std::uint32_t type, std::string_view data,
                                         std::string& error) {
    const auto open = open_.find(key);
    if (open == open_.end()) {
        error = "The registry key is not open";
        return kInvalidHandle;
    }
    if (valueName.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        error = "The registry value name \"" + std::string(valueName) + "\" is not valid";
        return kInvalidName;
    }
    const Hive hive = open->second.hive;
    const auto file = hiveFile(hive);
    auto content = ReadHiveFile(file, error);
    if (!content) {
        return kWriteFault;
    }
    auto lines = ParseHive(hive, *content);
    PutValue(lines, hive, open->second.name, valueName, type, data);
    if (!EnsureFolder(folder_, error) || !WriteHiveFile(file, lines, error)) {
        return kWriteFault;
    }
    return 0;
}

}  // namespace twds
