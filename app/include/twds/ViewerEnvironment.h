#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "twds/Catalogue.h"
#include "twds/CommandLine.h"
#include "twds/HostLink.h"
#include "twds/PageLabels.h"
#include "twds/Registry.h"
#include "twds/StatusMessages.h"

namespace twds {

// The folder that holds the running executable (where the catalogue files
// and the bundled samples are). Empty when the system cannot tell.
[[nodiscard]] std::filesystem::path ExecutableFolder();

// What the viewer needs from its surroundings, set up once at start-up the
// same way for the window and for the headless export: the system registry,
// the catalogue installed process-wide, the host link chosen by the command
// line and the environment, and the page labels.
class ViewerEnvironment {
public:
    // reportFailure shows the catalogue's one load failure (a message box in
    // the window, a line on standard error without one).
    ViewerEnvironment(const CommandLine& commandLine, Catalogue::FailureReporter reportFailure);
    // The same, with the catalogue and the samples looked for in
    // `executableFolder`.
    ViewerEnvironment(const CommandLine& commandLine, Catalogue::FailureReporter reportFailure,
                      std::filesystem::path executableFolder);
    // Uninstalls the catalogue, which refers to this object's registry.
    ~ViewerEnvironment();
    ViewerEnvironment(const ViewerEnvironment&) = delete;
    ViewerEnvironment& operator=(const ViewerEnvironment&) = delete;

    [[nodiscard]] const std::filesystem::path& executableFolder() const { return folder_; }
    [[nodiscard]] RegistryStore& registry() { return *registry_; }
    [[nodiscard]] const PageLabels& labels() const { return *labels_; }
    [[nodiscard]] const MessageLookup& messages() const { return messages_; }

    // Always usable. When the host link could not be started it is a stand-in
    // whose connections fail with hostLinkError() as their reason.
    [[nodiscard]] HostLink& hostLink() { return *hostLink_; }
    [[nodiscard]] bool hostLinkStarted() const { return hostLinkError_.empty(); }
    // "The host link could not be started: ..." in the user's language, or ""
    // when it started.
    [[nodiscard]] const std::string& hostLinkError() const { return hostLinkError_; }

    // What the window says before any Display: that the host link could not
    // be started (every Display would fail), and what it ignored on its
    // command line; one line each, "" when all is well.
    [[nodiscard]] std::string startupNotice(const CommandLine& commandLine) const;

private:
    std::filesystem::path folder_;
    std::unique_ptr<RegistryStore> registry_;
    MessageLookup messages_;
    std::unique_ptr<PageLabels> labels_;
    std::unique_ptr<HostLink> hostLink_;
    std::string hostLinkError_;
};

}  // namespace twds
