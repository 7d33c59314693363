#include "twds/HostLinkFactory.h"

#include <cstdlib>
#include <system_error>
#include <utility>

#include "twds/LibraryHostLink.h"
#include "twds/SavedUserSpaceHostLink.h"

namespace twds {

namespace {

std::optional<std::filesystem::path> Variable(const EnvironmentLookup& environment,
                                              const char* name) {
    auto value = environment(name);
    if (!value || value->empty()) {
        return std::nullopt;
    }
    return std::filesystem::path(*value);
}

std::optional<std::filesystem::path> UserStore(const EnvironmentLookup& environment) {
    const std::filesystem::path inData = std::filesystem::path("twDspUsrSpc") / "userspaces";
#ifdef _WIN32
    for (const char* name : {"LOCALAPPDATA", "APPDATA"}) {
        if (auto folder = Variable(environment, name)) {
            return *folder / inData;
        }
    }
#else
    // The XDG base directory rules ignore a relative $XDG_DATA_HOME.
    if (auto data = Variable(environment, "XDG_DATA_HOME"); data && data->is_absolute()) {
        return *data / inData;
    }
    if (auto home = Variable(environment, "HOME")) {
        return *home / ".local" / "share" / inData;
    }
#endif
    return std::nullopt;
}

bool IsFolder(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// Whether the store the user named can be used: a failure says it is
// missing or not a folder. A store that cannot be examined (no permission)
// is left to the host link, which names the stores it searched.
Status CheckNamedStore(const std::filesystem::path& store, const MessageLookup& messages) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(store, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return Failure{messages(message::kStoreMissing, {store.string()})};
    }
    if (std::filesystem::exists(status) && !std::filesystem::is_directory(status)) {
        return Failure{messages(message::kStoreNotFolder, {store.string()})};
    }
    return {};
}

}  // namespace

HostLinkChoice ResolveHostLinkChoice(const std::filesystem::path& libraryOption,
                                     const std::filesystem::path& storeOption,
                                     const std::filesystem::path& executableFolder,
                                     const EnvironmentLookup& environment) {
    HostLinkChoice choice;

    std::optional<std::filesystem::path> namedStore;
    if (!storeOption.empty()) {
        namedStore = storeOption;
    } else {
        namedStore = Variable(environment, "TWDSPUSRSPC_STORE");
    }

    if (!libraryOption.empty()) {
        choice.library = libraryOption;
    } else if (auto library = Variable(environment, "TWDSPUSRSPC_HOSTLINK")) {
        choice.library = *library;
    } else {
#ifdef _WIN32
        // On Windows the engine's own library is the host link unless saved
        // user spaces were asked for.
        if (!namedStore) {
            choice.library = "DllParam.dll";
        }
#endif
    }

    if (namedStore) {
        choice.namedStore = *namedStore;
        choice.stores.push_back(*namedStore);
    } else if (auto userStore = UserStore(environment)) {
        choice.stores.push_back(*userStore);
    }
    const auto built = executableFolder / "samples";
    const auto installed =
        (executableFolder / ".." / "share" / "twDspUsrSpc" / "samples").lexically_normal();
    if (IsFolder(built)) {
        choice.samples = built;
    } else if (IsFolder(installed)) {
        choice.samples = installed;
    }
    if (!choice.samples.empty()) {
        choice.stores.push_back(choice.samples);
    }
    return choice;
}

HostLinkChoice ResolveHostLinkChoice(const std::filesystem::path& libraryOption,
                                     const std::filesystem::path& storeOption,
                                     const std::filesystem::path& executableFolder) {
    return ResolveHostLinkChoice(libraryOption, storeOption, executableFolder, ProcessEnvironment);
}

Result<std::unique_ptr<HostLink>> CreateHostLink(const HostLinkChoice& choice,
                                                 const MessageLookup& messages) {
    if (!choice.library.empty()) {
        auto library = LibraryHostLink::load(choice.library, messages);
        if (!library) {
            return Failure{library.error()};
        }
        return std::move(*library);
    }
    if (!choice.namedStore.empty()) {
        if (Status store = CheckNamedStore(choice.namedStore, messages); !store) {
            return Failure{store.error()};
        }
    }
    return std::make_unique<SavedUserSpaceHostLink>(choice.stores, messages, choice.samples);
}

}  // namespace twds
