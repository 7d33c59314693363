#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "twds/Environment.h"
#include "twds/Result.h"

namespace twds {

enum class Hive { CurrentUser, LocalMachine };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE", as the system's tools write them.
[[nodiscard]] std::string_view HiveName(Hive hive);

// Registry value types the viewer handles.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;

// A value read from the registry: text, a 32-bit integer, or nothing (Empty).
using RegistryValue = std::variant<std::monostate, std::string, std::int32_t>;

// A value as text: a string as stored, an integer in decimal, Empty as "".
[[nodiscard]] std::string RegistryValueText(const RegistryValue& value);

// The platform's registry: keys under two hives holding typed values as raw
// bytes. On Windows it is the ANSI registry API; elsewhere a folder of
// REGEDIT4 files, one per hive.
class RegistryStore {
public:
    using KeyHandle = std::uintptr_t;  // 0: no key

    virtual ~RegistryStore() = default;

    // Opens hive\keyName (access 0x3F). Returns 0 when it cannot be opened.
    [[nodiscard]] virtual KeyHandle openKey(Hive hive, std::string_view keyName) = 0;
    // Creates hive\keyName, or opens it when it exists.
    [[nodiscard]] virtual Result<KeyHandle> createKey(Hive hive, std::string_view keyName) = 0;
    virtual void closeKey(KeyHandle key) = 0;

    // Reads a value's type and raw data. 0 on success, a non-zero status
    // otherwise (no such key or value).
    [[nodiscard]] virtual std::int32_t queryValue(KeyHandle key, std::string_view valueName,
                                                  std::uint32_t& type, std::string& data) = 0;
    // Writes a value's type and raw data.
    [[nodiscard]] virtual Status setValue(KeyHandle key, std::string_view valueName,
                                          std::uint32_t type, std::string_view data) = 0;

    // Whether the values of `hive` can be read at all (a hive without values
    // yet can); a failure says why not and what to do about it. It tells a
    // missing value from one that is there but out of reach.
    [[nodiscard]] virtual Status hiveReadable(Hive /*hive*/) const { return {}; }

    // Where the values are kept, for messages that tell the user where to look
    // (a folder for the file registry). Empty when there is nothing to show.
    [[nodiscard]] virtual std::string location() const { return {}; }

    // Where the values of one hive are kept, for messages: the hive's file in
    // a file registry. By default the store's location, else the hive's name.
    [[nodiscard]] virtual std::string hiveLocation(Hive hive) const;
};

// The registry of this system: the Windows registry, or the file registry in
// $TWDSPUSRSPC_REGISTRY, else $XDG_CONFIG_HOME/twDspUsrSpc/registry, else
// ~/.config/twDspUsrSpc/registry, read through `environment`.
[[nodiscard]] std::unique_ptr<RegistryStore> CreateSystemRegistry(
    const EnvironmentLookup& environment = ProcessEnvironment);

// Reads one value: a string value is its data less the last byte (the
// terminating NUL), a REG_DWORD a 32-bit integer, anything else Empty.
[[nodiscard]] RegistryValue FetchRegistryValue(RegistryStore& store, Hive hive,
                                               std::string_view keyName,
                                               std::string_view valueName);
// Reads one value of an open key; returns the query status.
std::int32_t FetchOpenKeyValue(RegistryStore& store, RegistryStore::KeyHandle key,
                               std::string_view valueName, RegistryValue& value);
// Creates the key (or opens an existing one) and closes it again.
Status EnsureRegistryKey(RegistryStore& store, Hive hive, std::string_view keyName);
// Writes a value of type 1 or 2 (text plus one NUL) or 4 (4-byte integer);
// other types write nothing.
Status StoreRegistryValue(RegistryStore& store, Hive hive, std::string_view keyName,
                          std::string_view valueName, const RegistryValue& value,
                          std::uint32_t type);

}  // namespace twds
