#pragma once

#include "twds/Registry.h"

namespace twds {

// The Windows registry through its ANSI functions; names and texts are bytes
// in the system's ANSI code page. Keys are opened and created with access
// 0x3F (query, set, create sub-key, enumerate, notify, create link).
class WindowsRegistryStore : public RegistryStore {
public:
    [[nodiscard]] KeyHandle openKey(Hive hive, std::string_view keyName) override;
    [[nodiscard]] Result<KeyHandle> createKey(Hive hive, std::string_view keyName) override;
    void closeKey(KeyHandle key) override;
    [[nodiscard]] std::int32_t queryValue(KeyHandle key, std::string_view valueName,
                                          std::uint32_t& type, std::string& data) override;
    [[nodiscard]] Status setValue(KeyHandle key, std::string_view valueName, std::uint32_t type,
                                  std::string_view data) override;
    [[nodiscard]] std::string location() const override { return "Windows registry"; }
};

}  // namespace twds
