#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "twds/Registry.h"

namespace twds {

// The text catalogue: catalogue ids 0 to 10000 mapped to texts in the user's
// language, read from "twmgr.ressource.<language>" in the viewer's folder
// on the first lookup.
class Catalogue {
public:
    static constexpr int kMaxId = 10000;
    // Shows the one load failure: a critical message box in a window, a line
    // on standard error without one.
    using FailureReporter = std::function<void(const std::string& title, const std::string& text)>;

    // `registry` must outlive the catalogue. `folder` is the one place where
    // catalogue files are looked for (FindCatalogueFolder). Without a
    // reporter a load failure goes to standard error.
    Catalogue(RegistryStore& registry, std::filesystem::path folder, FailureReporter reportFailure);
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // The text of `id` (a decimal text) with "&1".."&7" replaced by p1..p7.
    // Never fails: "" for an unknown, non-numeric or out-of-range id.
    [[nodiscard]] std::string text(std::string_view id, std::string_view p1 = {},
                                   std::string_view p2 = {}, std::string_view p3 = {},
                                   std::string_view p4 = {}, std::string_view p5 = {},
                                   std::string_view p6 = {}, std::string_view p7 = {});

    // The text of `id` as the catalogue holds it, placeholders unfilled; ""
    // when the catalogue has none. The viewer's own messages fill their
    // placeholders themselves, in one pass (FillPlaceholders).
    [[nodiscard]] std::string rawText(int id);

    // Fills the table from the catalogue file of `language`. Fails, with the
    // table untouched, when there is no such regular file (or `language`
    // would name a file outside the folder); fails, with the lines before
    // the failing one kept, when a line has no id in 0 to 10000 or the file
    // cannot be read.
    Status loadLanguage(const std::string& language);

    [[nodiscard]] const std::string& language() const { return language_; }
    [[nodiscard]] const std::array<std::string, kMaxId + 1>& table() const { return *table_; }

private:
    // The first lookup's work: read (or create) the language setting and load
    // its catalogue, falling back to English. Runs once per catalogue.
    void ensureLoaded();

    RegistryStore& registry_;
    std::filesystem::path folder_;
    FailureReporter reportFailure_;
    std::string language_;
    bool loaded_ = false;
    std::unique_ptr<std::array<std::string, kMaxId + 1>> table_;
};

// The folder that holds the viewer's catalogues: beside the executable, as
// in a build tree or a Windows install, else the install's data folder
// (<prefix>/share/twDspUsrSpc beside <prefix>/bin), found from the executable
// so that an install can move. A folder counts when it holds the English
// catalogue, which every install has. When neither does, the executable's
// folder, so that the failure names the first place looked in.
[[nodiscard]] std::filesystem::path FindCatalogueFolder(
    const std::filesystem::path& executableFolder);

// The process-wide catalogue that the viewer's windows and commands use.
// Install it once at start-up; CatalogueText returns "" until then.
void InstallCatalogue(std::unique_ptr<Catalogue> catalogue);
[[nodiscard]] Catalogue* InstalledCatalogue();
[[nodiscard]] std::string CatalogueText(std::string_view id, std::string_view p1 = {},
                                        std::string_view p2 = {}, std::string_view p3 = {},
                                        std::string_view p4 = {}, std::string_view p5 = {},
                                        std::string_view p6 = {}, std::string_view p7 = {});

}  // namespace twds
