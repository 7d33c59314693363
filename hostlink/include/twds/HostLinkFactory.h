#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "twds/Environment.h"
#include "twds/HostLink.h"
#include "twds/Messages.h"
#include "twds/Result.h"

namespace twds {

// Where the viewer's host link comes from, as chosen on the command line or
// through the environment.
struct HostLinkChoice {
    // A run-time loaded host-link library (--hostlink, $TWDSPUSRSPC_HOSTLINK).
    // Empty: the saved user spaces are used.
    std::filesystem::path library;
    // Folders of saved user spaces, searched in order (--store,
    // $TWDSPUSRSPC_STORE or the user's data folder, then the bundled samples).
    std::vector<std::filesystem::path> stores;
    // The store the user named (--store, $TWDSPUSRSPC_STORE), the first of
    // stores; empty when none was named. Unlike the user's data folder it
    // must exist: a mistyped name must not fall through to the samples.
    std::filesystem::path namedStore;
    // The bundled samples, the last of stores; empty when none were found.
    std::filesystem::path samples;
};

// Resolves the choice from the explicit options (empty when not given), the
// environment and the folder of the executable.
[[nodiscard]] HostLinkChoice ResolveHostLinkChoice(const std::filesystem::path& libraryOption,
                                                   const std::filesystem::path& storeOption,
                                                   const std::filesystem::path& executableFolder);

// As above, reading the environment through `environment`.
//
// library: libraryOption, else $TWDSPUSRSPC_HOSTLINK; on Windows, when no
// store is named either, "DllParam.dll". stores: storeOption, else
// $TWDSPUSRSPC_STORE, else the user's data folder ($XDG_DATA_HOME or
// ~/.local/share, %LOCALAPPDATA% on Windows, then
// "twDspUsrSpc/userspaces"); after it the bundled samples,
// <executableFolder>/samples in a build tree or
// <executableFolder>/../share/twDspUsrSpc/samples when installed, whichever
// exists. Empty variables count as unset.
[[nodiscard]] HostLinkChoice ResolveHostLinkChoice(const std::filesystem::path& libraryOption,
                                                   const std::filesystem::path& storeOption,
                                                   const std::filesystem::path& executableFolder,
                                                   const EnvironmentLookup& environment);

// Creates the host link, which explains its failures with `messages`. A
// failure's message names the library and what is missing, or the named
// store that is not a folder.
[[nodiscard]] Result<std::unique_ptr<HostLink>> CreateHostLink(
    const HostLinkChoice& choice, const MessageLookup& messages = BuiltInMessages());

}  // namespace twds
