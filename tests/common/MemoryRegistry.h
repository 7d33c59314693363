#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "twds/Ascii.h"
#include "twds/Registry.h"

namespace twds::test {

// A registry held in memory, for tests that need a value or two and no
// files. Key and value names compare case-insensitively (ASCII letters), as
// on Windows; creating a key creates the keys above it. openKeys() tells
// whether a test's code closed what it opened.
class MemoryRegistry final : public RegistryStore {
public:
    [[nodiscard]] KeyHandle openKey(Hive hive, std::string_view keyName) override {
        const std::string key = Fold(keyName);
        if (!key.empty() && !keys_.contains({hive, key})) {
            return 0;
        }
        return open(hive, key);
    }

    [[nodiscard]] Result<KeyHandle> createKey(Hive hive, std::string_view keyName) override {
        const std::string key = Fold(keyName);
        for (std::size_t end = key.find('\\'); end != std::string::npos;
             end = key.find('\\', end + 1)) {
            keys_.insert({hive, key.substr(0, end)});
        }
        keys_.insert({hive, key});
        return open(hive, key);
    }

    void closeKey(KeyHandle key) override { open_.erase(key); }

    [[nodiscard]] std::int32_t queryValue(KeyHandle key, std::string_view valueName,
                                          std::uint32_t& type, std::string& data) override {
        constexpr std::int32_t kFileNotFound = 2;
        constexpr std::int32_t kInvalidHandle = 6;
        const auto open = open_.find(key);
        if (open == open_.end()) {
            return kInvalidHandle;
        }
        const auto value = values_.find({open->second, Fold(valueName)});
        if (value == values_.end()) {
            return kFileNotFound;
        }
        type = value->second.first;
        data = value->second.second;
        return 0;
    }

    [[nodiscard]] Status setValue(KeyHandle key, std::string_view valueName, std::uint32_t type,
                                  std::string_view data) override {
        const auto open = open_.find(key);
        if (open == open_.end()) {
            return Failure{"The registry key is not open"};
        }
        values_[{open->second, Fold(valueName)}] = {type, std::string(data)};
        return {};
    }

    [[nodiscard]] std::size_t openKeys() const { return open_.size(); }

private:
    using Key = std::pair<Hive, std::string>;

    // Upper-case ASCII, without the backslashes that end a key name.
    static std::string Fold(std::string_view name) {
        while (name.ends_with('\\')) {
            name.remove_suffix(1);
        }
        return AsciiUpper(name);
    }

    KeyHandle open(Hive hive, std::string key) {
        const KeyHandle handle = next_++;
        open_.emplace(handle, Key{hive, std::move(key)});
        return handle;
    }

    std::set<Key> keys_;
    std::map<std::pair<Key, std::string>, std::pair<std::uint32_t, std::string>> values_;
    std::map<KeyHandle, Key> open_;
    KeyHandle next_ = 1;
};

}  // namespace twds::test
