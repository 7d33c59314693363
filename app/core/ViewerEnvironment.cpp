#include "twds/ViewerEnvironment.h"

#include <system_error>

#include "UnavailableHostLink.h"
#include "twds/HostLinkFactory.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace twds {

std::filesystem::path ExecutableFolder() {
#ifdef _WIN32
    std::string buffer(MAX_PATH, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    buffer.resize(length);
    return std::filesystem::path(buffer).parent_path();
#else
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
#endif
}

ViewerEnvironment::ViewerEnvironment(const CommandLine& commandLine,
                                     Catalogue::FailureReporter reportFailure)
    : ViewerEnvironment(commandLine, std::move(reportFailure), ExecutableFolder()) {}

ViewerEnvironment::ViewerEnvironment(const CommandLine& commandLine,
                                     Catalogue::FailureReporter reportFailure,
                                     std::filesystem::path executableFolder)
    : folder_(std::move(executableFolder)),
      registry_(CreateSystemRegistry()),
      messages_(InstalledCatalogueLookup()) {
    InstallCatalogue(std::make_unique<Catalogue>(*registry_, FindCatalogueFolder(folder_),
                                                 std::move(reportFailure)));
    labels_ =
        std::make_unique<PageLabels>([](int id) { return CatalogueText(std::to_string(id)); });

    const HostLinkChoice choice =
        ResolveHostLinkChoice(commandLine.hostlink, commandLine.store, folder_);
    if (auto created = CreateHostLink(choice, messages_)) {
        hostLink_ = std::move(*created);
    } else {
        hostLinkError_ = messages_(message::kHostLinkNotStarted, {created.error()});
        hostLink_ = std::make_unique<UnavailableHostLink>(hostLinkError_);
    }
}

std::string ViewerEnvironment::startupNotice(const CommandLine& commandLine) const {
    std::string notice = hostLinkError_;
    if (commandLine.argumentTextNotAnsi) {
        const std::string unusable =
            messages_(message::kArgumentsNotAnsi, {commandLine.argumentText});
        notice += notice.empty() ? unusable : "\n" + unusable;
    }
    if (const std::string ignored = DescribeIgnoredOptions(commandLine.ignoredOptions, messages_);
        !ignored.empty()) {
        notice += notice.empty() ? ignored : "\n" + ignored;
    }
    return notice;
}

ViewerEnvironment::~ViewerEnvironment() {
    InstallCatalogue(nullptr);
}

}  // namespace twds
