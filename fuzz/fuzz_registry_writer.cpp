// The file registry's writer: the input is a hive file (HKEY_CURRENT_USER.reg)
// in either form. The file is parsed, one value is added and one replaced,
// and the file is parsed again after each write: the edited value reads as
// written, every other value as before, and every line the edit does not
// touch is still there byte for byte, in the file's own encoding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "twds/FileRegistryStore.h"
#include "twds/Registry.h"

namespace {

using twds::Hive;

constexpr std::string_view kSettingsKey = "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings";
constexpr std::string_view kByteOrderMark = "\xff\xfe";
constexpr std::string_view kAddedName = "fuzz writer: added value";

struct Probe {
    std::string key;
    std::string name;
};

struct Stored {
    bool found = false;
    std::uint32_t type = 0;
    std::string data;
    bool operator==(const Stored&) const = default;
};

Stored Query(twds::RegistryStore& store, const Probe& probe) {
    Stored stored;
    const auto key = store.openKey(Hive::CurrentUser, probe.key);
    if (key != 0) {
        stored.found = store.queryValue(key, probe.name, stored.type, stored.data) == 0;
        store.closeKey(key);
    }
    if (!stored.found) {
        stored = {};
    }
    return stored;
}

// The physical lines of a hive file with their line ends: split after every
// LF byte, or after every LF unit of a UTF-16 file (which keeps its
// byte-order mark as a line of its own).
std::vector<std::string> Lines(std::string_view bytes) {
    std::vector<std::string> lines;
    const bool utf16 = bytes.starts_with(kByteOrderMark);
    const std::size_t step = utf16 ? 2 : 1;
    std::size_t start = 0;
    if (utf16) {
        lines.emplace_back(kByteOrderMark);
        start = kByteOrderMark.size();
    }
    for (std::size_t i = start; i + step <= bytes.size(); i += step) {
        if (bytes[i] == '\n' && (!utf16 || bytes[i + 1] == '\0')) {
            lines.emplace_back(bytes.substr(start, i + step - start));
            start = i + step;
        }
    }
    if (start < bytes.size()) {
        lines.emplace_back(bytes.substr(start));
    }
    return lines;
}

// The same line, or the file's last line given the line end it lacked. The
// line end is looked for in whole characters: in a UTF-16 line the byte
// 0x0A may be half of another character.
bool Kept(const std::string& before, const std::string& after, bool lastBefore) {
    if (before == after) {
        return true;
    }
    const bool utf16 = after.ends_with(std::string_view("\n\0", 2));
    const bool ended =
        utf16 ? before.ends_with(std::string_view("\n\0", 2)) : before.ends_with('\n');
    if (!lastBefore || ended || !after.starts_with(before)) {
        return false;
    }
    const std::string_view added = std::string_view(after).substr(before.size());
    return utf16
               ? (added == std::string_view("\n\0", 2) || added == std::string_view("\r\0\n\0", 4))
               : (added == "\n" || added == "\r\n");
}

// `after` is `before` with 1 to 3 lines put in at one place (a value, with a
// blank line and its key line when the key has no section), and the header
// line first in a new file.
bool IsInsertion(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    const std::size_t most = before.empty() ? 4 : 3;
    if (after.size() < before.size() + 1 || after.size() > before.size() + most) {
        return false;
    }
    const std::size_t inserted = after.size() - before.size();
    std::size_t same = 0;
    while (same < before.size() && Kept(before[same], after[same], same + 1 == before.size())) {
        ++same;
    }
    for (std::size_t i = same; i < before.size(); ++i) {
        if (!Kept(before[i], after[i + inserted], i + 1 == before.size())) {
            return false;
        }
    }
    return true;
}

// `after` is `before` changed in one stretch between a common head and a
// common tail: there at most 3 lines are new (a replaced value, or a new key
// section with its value) and the others are lines of `before`, in order;
// lines of `before` may go (earlier duplicates of the value are dropped).
bool IsLocalEdit(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() &&
           Kept(before[head], after[head], head + 1 == before.size())) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    std::size_t next = head;
    std::size_t added = 0;
    for (std::size_t i = head; i < after.size() - tail; ++i) {
        std::size_t match = next;
        while (match < before.size() - tail &&
               !Kept(before[match], after[i], match + 1 == before.size())) {
            ++match;
        }
        if (match < before.size() - tail) {
            next = match + 1;
        } else {
            ++added;
        }
    }
    return added <= 3;
}

// The text between the first `open` and the next `close` of the input, read
// as ASCII (the low bytes of a UTF-16 file).
std::optional<std::string> Between(std::string_view bytes, char open, char close) {
    std::string text;
    if (bytes.starts_with(kByteOrderMark)) {
        for (std::size_t i = kByteOrderMark.size(); i < bytes.size(); i += 2) {
            text += bytes[i];
        }
    } else {
        text = bytes;
    }
    const auto first = text.find(open);
    const auto last = first == std::string::npos ? first : text.find(close, first + 1);
    if (last == std::string::npos) {
        return std::nullopt;
    }
    return text.substr(first + 1, last - first - 1);
}

std::string KeyOf(std::string bracketed) {
    constexpr std::string_view kHive = "HKEY_CURRENT_USER\\";
    if (bracketed.starts_with(kHive)) {
        bracketed.erase(0, kHive.size());
    }
    while (!bracketed.empty() && bracketed.back() == '\\') {
        bracketed.pop_back();
    }
    return bracketed;
}

// Names compare as the store compares them: ASCII letters in either case.
bool SameName(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

void CheckValues(twds::RegistryStore& store, const std::vector<Probe>& probes,
                 const std::vector<Stored>& before, const Probe& written, const char* what) {
    for (std::size_t i = 0; i < probes.size(); ++i) {
        if (!SameName(probes[i].key, written.key) || !SameName(probes[i].name, written.name)) {
            TWDS_FUZZ_CHECK(Query(store, probes[i]) == before[i], what);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = twds::fuzz::Bytes(data, size);
    const std::filesystem::path folder = twds::fuzz::ProcessTempFolder() / "registry-writer";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    twds::FileRegistryStore store(folder);
    const auto file = store.hiveFile(Hive::CurrentUser);
    twds::fuzz::WriteBytes(file, bytes);

    if (!store.hiveReadable(Hive::CurrentUser)) {
        const twds::Status written = twds::StoreRegistryValue(
            store, Hive::CurrentUser, "", "Language", std::string("EN"), twds::kRegSz);
        TWDS_FUZZ_CHECK(!written.ok(), "a value was written to a file that cannot be read");
        TWDS_FUZZ_CHECK(twds::fuzz::ReadBytes(file) == bytes,
                        "a hive file that cannot be read was changed");
        return 0;
    }

    std::vector<Probe> probes{{std::string(kSettingsKey), "Language"},
                              {std::string(kSettingsKey), ""}};
    const auto key = Between(bytes, '[', ']');
    const auto name = Between(bytes, '"', '"');
    if (key) {
        probes.push_back({KeyOf(*key), name.value_or("")});
        probes.push_back({KeyOf(*key), ""});
    }
    std::vector<Stored> before;
    for (const Probe& probe : probes) {
        before.push_back(Query(store, probe));
    }
    const bool utf16 = bytes.starts_with(kByteOrderMark);

    // A new value in the file's first key: only its lines are added.
    const Probe added{key ? KeyOf(*key) : std::string(), std::string(kAddedName)};
    if (Query(store, added) == Stored{}) {
        const std::string text(bytes.substr(0, 48));
        const twds::Status written = twds::StoreRegistryValue(store, Hive::CurrentUser, added.key,
                                                              added.name, text, twds::kRegSz);
        if (written.ok()) {
            const std::string after = twds::fuzz::ReadBytes(file);
            TWDS_FUZZ_CHECK(IsInsertion(Lines(bytes), Lines(after)),
                            "adding a value changed lines other than its own");
            TWDS_FUZZ_CHECK(after.starts_with(kByteOrderMark) == utf16,
                            "adding a value changed the file's encoding");
            TWDS_FUZZ_CHECK(Query(store, added) == (Stored{true, twds::kRegSz, text + '\0'}),
                            "an added value does not read back as written");
            CheckValues(store, probes, before, added, "adding a value changed another one");
        }
    }

    // The language setting replaced (or added, with its key).
    const std::string middle = twds::fuzz::ReadBytes(file);
    std::vector<Stored> beforeLanguage;
    for (const Probe& probe : probes) {
        beforeLanguage.push_back(Query(store, probe));
    }
    const twds::Status created = twds::EnsureRegistryKey(store, Hive::CurrentUser, kSettingsKey);
    TWDS_FUZZ_CHECK(created.ok(), "cannot create the settings key: " + created.error());
    const twds::Status written = twds::StoreRegistryValue(
        store, Hive::CurrentUser, kSettingsKey, "Language", std::string("EN"), twds::kRegExpandSz);
    TWDS_FUZZ_CHECK(written.ok(), "cannot write Language: " + written.error());
    const std::string after = twds::fuzz::ReadBytes(file);
    TWDS_FUZZ_CHECK(IsLocalEdit(Lines(middle), Lines(after)),
                    "writing Language changed lines away from it");
    TWDS_FUZZ_CHECK(after.starts_with(kByteOrderMark) == utf16,
                    "writing Language changed the file's encoding");
    TWDS_FUZZ_CHECK(
        Query(store, probes[0]) == (Stored{true, twds::kRegExpandSz, std::string("EN\0", 3)}),
        "Language does not read back as written");
    CheckValues(store, probes, beforeLanguage, probes[0], "writing Language changed another value");
    return 0;
}
