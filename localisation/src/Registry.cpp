#include "twds/Registry.h"

#include <charconv>
#include <cstddef>

namespace twds {

namespace {

// Status of a REG_DWORD whose data is longer than the 4 bytes asked for.
constexpr std::int32_t kMoreData = 234;
constexpr std::int32_t kInvalidHandle = 6;
constexpr std::int32_t kUnhandledType = -1;
constexpr std::size_t kDwordSize = 4;

std::string KeyPath(Hive hive, std::string_view keyName) {
    std::string path(HiveName(hive));
    path += '\\';
    path += keyName;
    return path;
}

}  // namespace

std::string_view HiveName(Hive hive) {
    switch (hive) {
        case Hive::CurrentUser:
            return "HKEY_CURRENT_USER";
        case Hive::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return "HKEY_CURRENT_USER";
}

std::string RegistryValueText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return std::to_string(*number);
    }
    return {};
}

RegistryValue FetchRegistryValue(RegistryStore& store, Hive hive, std::string_view keyName,
                                 std::string_view valueName) {
    const auto key = store.openKey(hive, keyName);
    RegistryValue value;
    FetchOpenKeyValue(store, key, valueName, value);
    if (key != 0) {
        store.closeKey(key);
    }
    return value;
}

std::int32_t FetchOpenKeyValue(RegistryStore& store, RegistryStore::KeyHandle key,
                               std::string_view valueName, RegistryValue& value) {
    value = std::monostate{};
    if (key == 0) {
        return kInvalidHandle;
    }
    std::uint32_t type = 0;
    std::string data;
    const auto status = store.queryValue(key, valueName, type, data);
    if (status != 0) {
        return status;
    }
    switch (type) {
        case kRegSz:
        case kRegExpandSz:
            // The stored data ends with its terminating NUL; data without one
            // loses its last character, and data of size 0 reads as nothing.
            if (!data.empty()) {
                data.pop_back();
                value = std::move(data);
            }
            return status;
        case kRegDword: {
            if (data.empty()) {
                return status;
            }
            if (data.size() > kDwordSize) {
                return kMoreData;
            }
            // Little-endian; shorter data fills the low bytes only.
            std::uint32_t bits = 0;
            for (std::size_t i = data.size(); i-- > 0;) {
                bits = (bits << 8) | static_cast<unsigned char>(data[i]);
            }
            value = static_cast<std::int32_t>(bits);
            return status;
        }
        default:
            return kUnhandledType;
    }
}

std::string RegistryStore::hiveLocation(Hive hive) const {
    if (std::string where = location(); !where.empty()) {
        return where;
    }
    return std::string(HiveName(hive));
}

Status EnsureRegistryKey(RegistryStore& store, Hive hive, std::string_view keyName) {
    const auto key = store.createKey(hive, keyName);
    if (!key) {
        return Failure{key.error()};
    }
    store.closeKey(*key);
    return {};
}

Status StoreRegistryValue(RegistryStore& store, Hive hive, std::string_view keyName,
                          std::string_view valueName, const RegistryValue& value,
                          std::uint32_t type) {
    std::string data;
    switch (type) {
        case kRegSz:
        case kRegExpandSz:
            data = RegistryValueText(value);
            data.push_back('\0');
            break;
        case kRegDword: {
            std::int32_t number = 0;
            if (const auto* integer = std::get_if<std::int32_t>(&value)) {
                number = *integer;
            } else if (const auto* text = std::get_if<std::string>(&value)) {
                const auto* end = text->data() + text->size();
                const auto [ptr, ec] = std::from_chars(text->data(), end, number);
                if (text->empty() || ec != std::errc() || ptr != end) {
                    return Failure{"Cannot write the registry value " + std::string(valueName) +
                                   " of " + KeyPath(hive, keyName) + ": \"" + *text +
                                   "\" is not a 32-bit integer"};
                }
            }
            const auto bits = static_cast<std::uint32_t>(number);
            for (std::size_t i = 0; i < kDwordSize; ++i) {
                data.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
            }
            break;
        }
        default:
            return {};
    }

    const auto key = store.openKey(hive, keyName);
    if (key == 0) {
        // A hive that cannot be read says why better than its missing key.
        if (Status readable = store.hiveReadable(hive); !readable) {
            return readable;
        }
        return Failure{"Cannot open the registry key " + KeyPath(hive, keyName)};
    }
    Status written = store.setValue(key, valueName, type, data);
    store.closeKey(key);
    return written;
}

}  // namespace twds
