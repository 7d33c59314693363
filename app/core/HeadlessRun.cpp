#include "twds/HeadlessRun.h"

#include <cerrno>
#include <iostream>
#include <system_error>

#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/ListingText.h"
#include "twds/TerminalText.h"
#include "twds/TextSearch.h"
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
// --find answers as grep does: 0 found, 1 not found, 2 for any trouble.
constexpr int kExitFound = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitTrouble = 2;
// What --export with --output writes to when the output is standard output.
constexpr std::string_view kStandardOutput = "-";

int ReportUsageError(std::string_view error, std::ostream& err) {
    err << "twDspUsrSpc: " << error << "\nTry 'twDspUsrSpc --help' for more information.\n";
    return kExitUsage;
}

// Writes one message a line to standard error, in the terminal's encoding.
class ErrorLines {
public:
    ErrorLines(std::ostream& err, std::string_view codeset) : err_(err), codeset_(codeset) {}
    void operator()(std::string_view ansiText) const {
        err_ << AnsiToTerminal(ansiText, codeset_) << '\n';
    }

private:
    std::ostream& err_;
    std::string codeset_;
};

// Why a write to a stream failed, once errno was cleared before it. The
// stream keeps no cause; the failed write left it in errno ("No space left on
// device" rather than a bare I/O error).
std::string WriteFailure() {
    const std::error_code cause = errno != 0 ? std::error_code(errno, std::generic_category())
                                             : std::make_error_code(std::errc::io_error);
    return cause.message();
}

int ExportDisplayed(const CommandLine& commandLine, DisplayCommand& display,
                    ViewerEnvironment& environment, std::ostream& out, const ErrorLines& report) {
    const MessageLookup& messages = environment.messages();
    if (commandLine.output && *commandLine.output == kStandardOutput) {
        errno = 0;
        if (!WriteExport(display, out)) {
            report(messages(message::kExportNotWritten, {kStandardOutput, WriteFailure()}));
            return kExitFailure;
        }
        return kExitSuccess;
    }
    const ExportResult result = commandLine.output
                                    ? ExportToFile(display, *commandLine.output, messages)
                                    : ExportToDataPath(display, environment.registry(), messages);
    if (result.status == ExportResult::Status::NeedsLocation) {
        // No dialog to choose another file here: say how to name one.
        report(result.message + " " + messages(message::kUseOutputOption, {}));
    } else if (!result.message.empty()) {
        report(result.message);
    }
    return result.status == ExportResult::Status::Written ? kExitSuccess : kExitFailure;
}

// Lists the rows that hold the --find text, list by list, then End_TW.
int ListFound(const DisplayCommand& display, std::string_view needle, std::ostream& out,
              const MessageLookup& messages, const ErrorLines& report) {
    const SearchMatches matches = FindInDisplay(display, needle);
    errno = 0;
    for (const PageListInfo& info : kPageLists) {
        for (const std::uint32_t row : matches.rows[static_cast<std::size_t>(info.list)]) {
            out << FoundRowLine(display, info.list, row);
        }
    }
    if (matches.endTw) {
        out << FoundEndTwLine(display);
    }
    out.flush();
    if (!out) {
        report(messages(message::kFoundNotWritten, {WriteFailure()}));
        return kExitTrouble;
    }
    return matches.total() > 0 ? kExitFound : kExitNotFound;
}

}  // namespace

bool IsHeadlessRequest(const CommandLine& commandLine) {
    return commandLine.help || commandLine.version || commandLine.exportMode ||
           commandLine.findText.has_value() || !commandLine.usageError.empty();
}

int RunHeadless(const CommandLine& commandLine) {
#ifdef _WIN32
    // The export's bytes go out unchanged: no CR inserted before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    return RunHeadless(commandLine, std::cout, std::cerr, TerminalCodeset());
}

int RunHeadless(const CommandLine& commandLine, std::ostream& out, std::ostream& err,
                std::string_view terminalCodeset) {
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
    const bool finding = commandLine.findText.has_value();
    if (!(commandLine.exportMode || finding) || !target) {
        return ReportUsageError("--export needs ADDRESS/NAME", err);
    }
    // What a run that could not display everything exits with.
    const int failed = finding ? kExitTrouble : kExitFailure;

    const ErrorLines report(err, terminalCodeset);
    ViewerEnvironment environment(commandLine,
                                  [&report](const std::string& title, const std::string& text) {
                                      report(title + ": " + text);
                                  });
    if (finding && commandLine.findTextNotAnsi) {
        // Every text of a user space is Windows-1252: no need to display it.
        report(environment.messages()(message::kFindTextNotAnsi, {*commandLine.findText}));
        return kExitNotFound;
    }
    if (!environment.hostLinkStarted()) {
        report(environment.hostLinkError());
        return failed;
    }

    if (commandLine.argumentTextNotAnsi) {
        // A user space named with a "?" in place of what was meant is not
        // the one the user asked for.
        report(environment.messages()(message::kArgumentsNotAnsi, {commandLine.argumentText}));
        return failed;
    }
    DisplayCommand display(environment.hostLink(), environment.labels());
    display.address = target->address;
    display.userSpaceName = target->name;
    const DisplayOutcome& outcome = display.run();
    if (const std::string source = DescribeSource(outcome.source, environment.messages());
        !source.empty()) {
        report(source);
    }
    const bool completed = outcome.stage == DisplayOutcome::Stage::Completed;
    if (!completed) {
        report(DescribeOutcome(display, environment.messages()));
    }
    if (finding) {
        // What a Display that stopped part-way found is listed all the same.
        const int found =
            ListFound(display, *commandLine.findText, out, environment.messages(), report);
        return completed ? found : kExitTrouble;
    }
    if (display.list(PageList::CX).empty()) {
        return kExitFailure;
    }
    const int exported = ExportDisplayed(commandLine, display, environment, out, report);
    return completed ? exported : kExitFailure;
}

}  // namespace twds
