#include "twds/HeadlessRun.h"

#include <iostream>

#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/ViewerEnvironment.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#endif

namespace twds {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// What --export with --output writes to when the output is standard output.
constexpr std::string_view kStandardOutput = "-";

int ReportUsageError(std::string_view error, std::ostream& err) {
    err << "twDspUsrSpc: " << error << "\nTry 'twDspUsrSpc --help' for more information.\n";
    return kExitUsage;
}

int ExportDisplayed(const CommandLine& commandLine, DisplayCommand& display,
                    ViewerEnvironment& environment, std::ostream& out, std::ostream& err) {
    const MessageLookup& messages = environment.messages();
    if (commandLine.output && *commandLine.output == kStandardOutput) {
        if (!WriteExport(display, out)) {
            err << messages(message::kExportNotWritten,
                            {kStandardOutput, std::make_error_code(std::errc::io_error).message()})
                << '\n';
            return kExitFailure;
        }
        return kExitSuccess;
    }
    const ExportResult result = commandLine.output
                                    ? ExportToFile(display, *commandLine.output, messages)
                                    : ExportToDataPath(display, environment.registry(), messages);
    if (!result.message.empty()) {
        err << result.message << '\n';
    }
    return result.status == ExportResult::Status::Written ? kExitSuccess : kExitFailure;
}

}  // namespace

bool IsHeadlessRequest(const CommandLine& commandLine) {
    return commandLine.help || commandLine.version || commandLine.exportMode ||
           !commandLine.usageError.empty();
}

int RunHeadless(const CommandLine& commandLine) {
#ifdef _WIN32
    // The export's bytes go out unchanged: no CR inserted before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    return RunHeadless(commandLine, std::cout, std::cerr);
}

int RunHeadless(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    if (!commandLine.usageError.empty()) {
        return ReportUsageError(commandLine.usageError, err);
    }
    if (commandLine.help) {
        out << UsageText();
        return kExitSuccess;
    }
    if (commandLine.version) {
        out << "twDspUsrSpc " << TWDS_VERSION << '\n';
        return kExitSuccess;
    }
    const std::optional<AddressAndName> target = SplitArgumentText(commandLine.argumentText);
    if (!commandLine.exportMode || !target) {
        return ReportUsageError("--export needs ADDRESS/NAME", err);
    }

    ViewerEnvironment environment(commandLine,
                                  [&err](const std::string& title, const std::string& text) {
                                      err << title << ": " << text << '\n';
                                  });
    if (!environment.hostLinkStarted()) {
        err << environment.hostLinkError() << '\n';
        return kExitFailure;
    }

    DisplayCommand display(environment.hostLink(), environment.labels());
    display.txtIpAddress = target->address;
    display.txtUsrSpcName = target->name;
    const DisplayOutcome& outcome = display.Run();
    const bool completed = outcome.stage == DisplayOutcome::Stage::Completed;
    if (!completed) {
        err << DescribeOutcome(display, environment.messages()) << '\n';
    }
    if (display.ListView1.empty()) {
        return kExitFailure;
    }
    const int exported = ExportDisplayed(commandLine, display, environment, out, err);
    return completed ? exported : kExitFailure;
}

}  // namespace twds
