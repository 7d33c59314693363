#include "twds/FileRegistryStore.h"

#include <cerrno>
#include <optional>
#include <system_error>
#include <utility>

#include "HiveDocument.h"
#include "HiveFile.h"

namespace twds {

using hive::AppendKey;
using hive::FindValue;
using hive::HiveDocument;
using hive::KeyExists;
using hive::NormaliseKeyName;
using hive::ParseHiveFile;
using hive::PutValue;
using hive::Serialise;

namespace {

// Status codes, numbered as the Windows registry functions number them so
// that callers see the same values on every system.
constexpr std::int32_t kFileNotFound = 2;
constexpr std::int32_t kInvalidHandle = 6;
constexpr std::int32_t kRegistryIoFailed = 1016;

}  // namespace

// The last hive file parsed, with the stamp the file had when it was read
// (none when there was no file, or on a system without stamps).
struct HiveCache {
    Hive hive;
    std::optional<HiveFileStamp> stamp;
    HiveDocument document;
};

namespace {

// The hive as its file holds it: an empty hive when the file does not exist;
// a failure that says why and what to do when it exists but cannot be read
// or parsed. The document stays in `cache` until the next read; a file
// unchanged since it was parsed is not read again.
Result<const HiveDocument*> ReadHive(std::shared_ptr<HiveCache>& cache,
                                     const std::filesystem::path& file, Hive hive) {
    if (cache && cache->hive == hive && cache->stamp && cache->stamp == StampHiveFile(file)) {
        return &cache->document;
    }
    cache.reset();
    HiveFileBytes read = ReadHiveFileBytes(file);
    if (read.state == HiveFileBytes::State::Unreadable) {
        return Failure{std::move(read.error)};
    }
    auto document = ParseHiveFile(hive, std::move(read.bytes));
    if (!document) {
        return Failure{"Cannot read the registry file " + file.string() + ": " + document.error() +
                       "; correct it, or remove it to start afresh"};
    }
    cache = std::make_shared<HiveCache>(HiveCache{hive, read.stamp, std::move(*document)});
    return &cache->document;
}

// The hive to edit: as ReadHive, but the document is taken out of the cache,
// since the file is about to change. A hive that cannot be read is not
// written either, and the failure says so.
Result<HiveDocument> TakeHive(std::shared_ptr<HiveCache>& cache, const std::filesystem::path& file,
                              Hive hive) {
    if (auto read = ReadHive(cache, file, hive); !read) {
        return Failure{read.error() + ". The file was left as it is."};
    }
    HiveDocument document(std::move(cache->document));
    cache.reset();
    return document;
}

Status EnsureFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) {
        return Failure{"Cannot create the registry folder " + folder.string() + ": " +
                       (ec ? ec.message() : std::generic_category().message(ENOTDIR))};
    }
    return {};
}

Status SaveHive(const std::filesystem::path& folder, const std::filesystem::path& file,
                const HiveDocument& document) {
    if (Status made = EnsureFolder(folder); !made) {
        return made;
    }
    return ReplaceHiveFile(file, Serialise(document));
}

}  // namespace

FileRegistryStore::FileRegistryStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path FileRegistryStore::defaultFolder(const EnvironmentLookup& environment) {
    const auto variable = [&environment](const char* name) {
        auto value = environment(name);
        return value && !value->empty() ? value : std::nullopt;
    };
    if (auto folder = variable("TWDSPUSRSPC_REGISTRY")) {
        return *folder;
    }
    if (auto config = variable("XDG_CONFIG_HOME")) {
        return std::filesystem::path(*config) / "twDspUsrSpc" / "registry";
    }
    const std::filesystem::path base = variable("HOME").value_or(".");
    return base / ".config" / "twDspUsrSpc" / "registry";
}

std::filesystem::path FileRegistryStore::hiveFile(Hive hive) const {
    return folder_ / (std::string(HiveName(hive)) + ".reg");
}

std::string FileRegistryStore::location() const {
    return folder_.string();
}

std::string FileRegistryStore::hiveLocation(Hive hive) const {
    return hiveFile(hive).string();
}

Status FileRegistryStore::hiveReadable(Hive hive) const {
    if (auto read = ReadHive(cache_, hiveFile(hive), hive); !read) {
        return Failure{read.error()};
    }
    return {};
}

RegistryStore::KeyHandle FileRegistryStore::openKey(Hive hive, std::string_view keyName) {
    const auto key = NormaliseKeyName(keyName);
    if (!key) {
        return 0;
    }
    const auto document = ReadHive(cache_, hiveFile(hive), hive);
    if (!document || !KeyExists(**document, *key)) {
        return 0;
    }
    const KeyHandle handle = nextHandle_++;
    open_.emplace(handle, OpenKey{hive, *key});
    return handle;
}

Result<RegistryStore::KeyHandle> FileRegistryStore::createKey(Hive hive, std::string_view keyName) {
    const auto key = NormaliseKeyName(keyName);
    if (!key) {
        return Failure{"The registry key name \"" + std::string(keyName) + "\" is not valid"};
    }
    const auto file = hiveFile(hive);
    auto document = TakeHive(cache_, file, hive);
    if (!document) {
        return Failure{document.error()};
    }
    if (!KeyExists(*document, *key)) {
        AppendKey(*document, hive, *key);
        if (Status saved = SaveHive(folder_, file, *document); !saved) {
            return Failure{saved.error()};
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
    const auto document = ReadHive(cache_, hiveFile(open->second.hive), open->second.hive);
    if (!document) {
        return kRegistryIoFailed;
    }
    auto value = FindValue(**document, open->second.name, valueName);
    if (!value) {
        return kFileNotFound;
    }
    type = value->type;
    data = std::move(value->bytes);
    return 0;
}

Status FileRegistryStore::setValue(KeyHandle key, std::string_view valueName, std::uint32_t type,
                                   std::string_view data) {
    const auto open = open_.find(key);
    if (open == open_.end()) {
        return Failure{"The registry key is not open"};
    }
    if (valueName.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return Failure{"The registry value name \"" + std::string(valueName) + "\" is not valid"};
    }
    const Hive hive = open->second.hive;
    const auto file = hiveFile(hive);
    auto document = TakeHive(cache_, file, hive);
    if (!document) {
        return Failure{document.error()};
    }
    PutValue(*document, hive, open->second.name, valueName, type, data);
    return SaveHive(folder_, file, *document);
}

}  // namespace twds
