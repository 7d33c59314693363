// The file registry: the input is a hive file (HKEY_CURRENT_USER.reg). A few
// values are read, two are written, and everything is read back: a write
// must store exactly its bytes and leave every other value as it was. A file
// the store cannot read must be refused and left unchanged.
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

struct Probe {
    std::string key;
    std::string name;
};

// A value as stored; a missing value (or key) has status 1.
struct Stored {
    std::int32_t status = 0;
    std::uint32_t type = 0;
    std::string data;
    bool operator==(const Stored&) const = default;
};

Stored Query(twds::RegistryStore& store, const Probe& probe) {
    Stored stored;
    const auto key = store.openKey(Hive::CurrentUser, probe.key);
    if (key == 0) {
        stored.status = 1;
        return stored;
    }
    stored.status = store.queryValue(key, probe.name, stored.type, stored.data);
    store.closeKey(key);
    if (stored.status != 0) {
        stored.status = 1;
        stored.type = 0;
        stored.data.clear();
    }
    return stored;
}

// The text between the first `open` and the next `close`, or nothing.
std::optional<std::string> Between(std::string_view text, char open, char close) {
    const auto first = text.find(open);
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const auto last = text.find(close, first + 1);
    if (last == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(text.substr(first + 1, last - first - 1));
}

bool SameName(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

// Key names as the store keeps them: no leading or trailing backslashes.
std::string KeyOf(std::string_view bracketed) {
    constexpr std::string_view kHive = "HKEY_CURRENT_USER\\";
    if (bracketed.size() >= kHive.size() && SameName(bracketed.substr(0, kHive.size()), kHive)) {
        bracketed.remove_prefix(kHive.size());
    }
    while (!bracketed.empty() && bracketed.back() == '\\') {
        bracketed.remove_suffix(1);
    }
    return std::string(bracketed);
}

bool SameValue(const Probe& a, const Probe& b) {
    return SameName(a.key, b.key) && SameName(a.name, b.name);
}

void CheckUnchanged(twds::RegistryStore& store, const std::vector<Probe>& probes,
                    const std::vector<Stored>& before, const Probe& written, const char* what) {
    for (std::size_t i = 0; i < probes.size(); ++i) {
        if (SameValue(probes[i], written)) {
            continue;
        }
        TWDS_FUZZ_CHECK(Query(store, probes[i]) == before[i], what);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = twds::fuzz::Bytes(data, size);
    const std::filesystem::path folder = twds::fuzz::ProcessTempFolder() / "registry";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    twds::FileRegistryStore store(folder);
    twds::fuzz::WriteBytes(store.hiveFile(Hive::CurrentUser), bytes);

    // A file that is not a hive file is neither read nor written.
    if (!store.hiveReadable(Hive::CurrentUser)) {
        TWDS_FUZZ_CHECK(!twds::EnsureRegistryKey(store, Hive::CurrentUser, kSettingsKey),
                        "a key was created in a hive file that cannot be read");
        TWDS_FUZZ_CHECK(twds::fuzz::ReadBytes(store.hiveFile(Hive::CurrentUser)) == bytes,
                        "a hive file that cannot be read was changed");
        return 0;
    }

    // The viewer's own value, the default value, and the first key and value
    // names the file seems to hold.
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
        // The typed reading agrees with the raw data.
        const twds::RegistryValue value =
            twds::FetchRegistryValue(store, Hive::CurrentUser, probe.key, probe.name);
        const Stored& raw = before.back();
        if (const auto* text = std::get_if<std::string>(&value)) {
            TWDS_FUZZ_CHECK(raw.status == 0 && (raw.type == 1 || raw.type == 2) &&
                                *text == raw.data.substr(0, raw.data.size() - 1),
                            "a string value is not its data less the last byte");
        }
    }

    // The language setting, as the catalogue writes it when missing.
    const Probe language{std::string(kSettingsKey), "Language"};
    const twds::Status created = twds::EnsureRegistryKey(store, Hive::CurrentUser, kSettingsKey);
    TWDS_FUZZ_CHECK(created.ok(), "cannot create the settings key: " + created.error());
    const twds::Status written = twds::StoreRegistryValue(
        store, Hive::CurrentUser, kSettingsKey, "Language", std::string("EN"), twds::kRegExpandSz);
    TWDS_FUZZ_CHECK(written.ok(), "cannot write Language: " + written.error());
    TWDS_FUZZ_CHECK(
        Query(store, language) == (Stored{0, twds::kRegExpandSz, std::string("EN\0", 3)}),
        "Language does not read back as written");
    CheckUnchanged(store, probes, before, language, "writing Language changed another value");

    // A string of the file's own bytes under the file's own key and name:
    // quotes, backslashes, line breaks and NULs must all survive the rewrite.
    if (key && !KeyOf(*key).empty() &&
        twds::EnsureRegistryKey(store, Hive::CurrentUser, KeyOf(*key)).ok()) {
        const Probe target{KeyOf(*key), name.value_or("")};
        std::vector<Stored> middle;
        for (const Probe& probe : probes) {
            middle.push_back(Query(store, probe));
        }
        const std::string text(bytes.substr(0, 64));
        const twds::Status result = twds::StoreRegistryValue(store, Hive::CurrentUser, target.key,
                                                             target.name, text, twds::kRegSz);
        if (result.ok()) {
            TWDS_FUZZ_CHECK(Query(store, target) == (Stored{0, twds::kRegSz, text + '\0'}),
                            "a string value does not read back as written");
            CheckUnchanged(store, probes, middle, target, "writing a value changed another one");
        }
    }
    return 0;
}
