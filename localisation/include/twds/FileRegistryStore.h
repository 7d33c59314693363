#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "twds/Environment.h"
#include "twds/Registry.h"

namespace twds {

struct HiveCache;  // the last hive file read and parsed

// A registry kept in a folder of registry editor files, one per hive
// ("HKEY_CURRENT_USER.reg", "HKEY_LOCAL_MACHINE.reg"), for systems without a
// Windows registry. A file is either REGEDIT4 in Windows-1252 or "Windows
// Registry Editor Version 5.00" in UTF-16 LE with a byte-order mark, and is
// written back in its own form; a new file is REGEDIT4. Values keep their
// type and raw bytes (names and strings as Windows-1252, as the ANSI registry
// functions give them):
//   "Name"="text"          REG_SZ whose data is the text plus one NUL
//   "Name"=hex(N):45,4e,00 any type N, raw bytes (REG_SZ data that cannot be
//                          quoted losslessly, REG_EXPAND_SZ, unknown types)
//   "Name"=hex:01,02       REG_BINARY (type 3)
//   "Name"=dword:0000000c  REG_DWORD, 4 bytes little-endian
//   @=...                  the key's default (unnamed) value
// Key and value names compare case-insensitively (ASCII letters), as on
// Windows. Each operation reads the hive file again unless it is unchanged
// since the last one (same file, size and times); a write replaces it
// atomically (through a symbolic link, the link's target) and keeps every
// line it does not change byte for byte, line ends included, and lines it
// cannot parse. Unparsable lines, and strings that Windows-1252 cannot hold,
// read as missing values. A file that is not a hive file in either form, or
// not a regular file, is neither read nor written: hiveReadable says why.
class FileRegistryStore : public RegistryStore {
public:
    // `folder` need not exist yet: creating a key creates it.
    explicit FileRegistryStore(std::filesystem::path folder);

    // $TWDSPUSRSPC_REGISTRY when set, else $XDG_CONFIG_HOME/twDspUsrSpc/registry,
    // else ~/.config/twDspUsrSpc/registry; empty variables count as unset.
    [[nodiscard]] static std::filesystem::path defaultFolder(const EnvironmentLookup& environment);

    [[nodiscard]] KeyHandle openKey(Hive hive, std::string_view keyName) override;
    [[nodiscard]] Result<KeyHandle> createKey(Hive hive, std::string_view keyName) override;
    void closeKey(KeyHandle key) override;
    [[nodiscard]] std::int32_t queryValue(KeyHandle key, std::string_view valueName,
                                          std::uint32_t& type, std::string& data) override;
    [[nodiscard]] Status setValue(KeyHandle key, std::string_view valueName, std::uint32_t type,
                                  std::string_view data) override;
    [[nodiscard]] Status hiveReadable(Hive hive) const override;
    [[nodiscard]] std::string location() const override;
    // The hive's file.
    [[nodiscard]] std::string hiveLocation(Hive hive) const override;

    [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }
    // The file that holds one hive's keys.
    [[nodiscard]] std::filesystem::path hiveFile(Hive hive) const;

private:
    struct OpenKey {
        Hive hive;
        std::string name;  // without leading or trailing backslashes
    };

    std::filesystem::path folder_;
    std::map<KeyHandle, OpenKey> open_;
    KeyHandle nextHandle_ = 1;
    // Opening a key and then reading one of its values reads a large file
    // once: the second finds the first's parse here.
    mutable std::shared_ptr<HiveCache> cache_;
};

}  // namespace twds
