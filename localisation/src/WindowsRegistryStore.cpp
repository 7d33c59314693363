#include "WindowsRegistryStore.h"

#include <windows.h>

#include <memory>
#include <string>

namespace twds {

namespace {

constexpr REGSAM kAccess = 0x3F;

HKEY Root(Hive hive) {
    return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

HKEY ToHkey(RegistryStore::KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}

std::string SystemMessage(LSTATUS status) {
    char buffer[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(status), 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '.')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(status) : text;
}

}  // namespace

RegistryStore::KeyHandle WindowsRegistryStore::openKey(Hive hive, std::string_view keyName) {
    const std::string name(keyName);
    HKEY key = nullptr;
    if (RegOpenKeyExA(Root(hive), name.c_str(), 0, kAccess, &key) != ERROR_SUCCESS) {
        return 0;
    }
    return reinterpret_cast<KeyHandle>(key);
}

Result<RegistryStore::KeyHandle> WindowsRegistryStore::createKey(Hive hive,
                                                                 std::string_view keyName) {
    const std::string name(keyName);
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LSTATUS status = RegCreateKeyExA(Root(hive), name.c_str(), 0, nullptr, 0, kAccess,
                                           nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) {
        return Failure{"Cannot create the registry key " + std::string(HiveName(hive)) + "\\" +
                       name + ": " + SystemMessage(status)};
    }
    return reinterpret_cast<KeyHandle>(key);
}

void WindowsRegistryStore::closeKey(KeyHandle key) {
    RegCloseKey(ToHkey(key));
}

std::int32_t WindowsRegistryStore::queryValue(KeyHandle key, std::string_view valueName,
                                              std::uint32_t& type, std::string& data) {
    const std::string name(valueName);
    DWORD valueType = 0;
    DWORD size = 0;
    LSTATUS status =
        RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, nullptr, &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    std::string bytes(size, '\0');
    status = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType,
                              reinterpret_cast<BYTE*>(bytes.data()), &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    bytes.resize(size);
    type = valueType;
    data = std::move(bytes);
    return 0;
}

Status WindowsRegistryStore::setValue(KeyHandle key, std::string_view valueName, std::uint32_t type,
                                      std::string_view data) {
    const std::string name(valueName);
    const LSTATUS status =
        RegSetValueExA(ToHkey(key), name.c_str(), 0, type,
                       reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    if (status != ERROR_SUCCESS) {
        return Failure{"Cannot write the registry value " + name + ": " + SystemMessage(status)};
    }
    return {};
}

std::unique_ptr<RegistryStore> CreateSystemRegistry(const EnvironmentLookup& /*environment*/) {
    return std::make_unique<WindowsRegistryStore>();
}

}  // namespace twds
