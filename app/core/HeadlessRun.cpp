#include "twds/HeadlessRun.h"

#include <array>
#include <cerrno>
#include <functional>
#include <iostream>
#include <memory>
#include <system_error>

#include "twds/Compare.h"
#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/ListingText.h"
#include "twds/ProblemText.h"
#include "twds/Snapshot.h"
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

// --check: one line per problem of the Display; 1 when one is an error or a
// warning.
int ListProblems(const DisplayCommand& display, std::ostream& out, const MessageLookup& messages,
                 const ErrorLines& report) {
    errno = 0;
    for (const Problem& problem : display.problems()) {
        out << ProblemLine(display, problem, messages);
    }
    out.flush();
    if (!out) {
        report(messages(message::kFoundNotWritten, {WriteFailure()}));
        return kExitFailure;
    }
    const bool worrying =
        !display.problems().empty() && HighestSeverity(display.problems()) != Severity::Note;
    return worrying ? kExitFailure : kExitSuccess;
}

// One Display of a target: ADDRESS/NAME through the environment's host link,
// a saved user space's path through a host link of its own.
struct TargetDisplay {
    std::unique_ptr<SnapshotHostLink> snapshotLink;
    std::unique_ptr<DisplayCommand> display;
    bool completed = false;
};

// Displays `target`, reporting where its pages came from and a Display that
// did not complete. Returns false, after saying why, when nothing could be
// displayed at all.
bool DisplayTarget(std::string_view target, bool targetNotAnsi, ViewerEnvironment& environment,
                   TargetDisplay& shown, const std::function<void(const std::string&)>& report) {
    const MessageLookup& messages = environment.messages();
    HostLink* hostLink = &environment.hostLink();
    std::string address;
    std::string name;
    if (IsSnapshotPath(target)) {
        auto opened = OpenSnapshot(std::filesystem::path(target), messages);
        if (!opened) {
            report(opened.error());
            return false;
        }
        if (!opened->notice.empty()) {
            report(opened->notice);
        }
        shown.snapshotLink = std::move(opened->hostLink);
        hostLink = shown.snapshotLink.get();
        address = std::move(opened->address);
        name = std::move(opened->name);
    } else {
        if (!environment.hostLinkStarted()) {
            report(environment.hostLinkError());
            return false;
        }
        if (targetNotAnsi) {
            // A user space named with a "?" in place of what was meant is not
            // the one the user asked for.
            report(messages(message::kArgumentsNotAnsi, {target}));
            return false;
        }
        const std::optional<AddressAndName> split = SplitArgumentText(target);
        address = split->address;
        name = split->name;
    }
    shown.display = std::make_unique<DisplayCommand>(*hostLink, environment.labels());
    DisplayCommand& display = *shown.display;
    display.address = std::move(address);
    display.userSpaceName = std::move(name);
    const DisplayOutcome& outcome = display.run();
    if (const std::string source = DescribeSource(outcome.source, messages); !source.empty()) {
        report(source);
    }
    shown.completed = outcome.stage == DisplayOutcome::Stage::Completed;
    if (!shown.completed) {
        report(DescribeOutcome(display, messages));
    }
    return true;
}

// Saves the --snapshot file; false when it was not written.
bool SaveSnapshotFile(const CommandLine& commandLine, const TargetDisplay& shown,
                      const MessageLookup& messages, const ErrorLines& report) {
    const SnapshotResult result =
        SaveSnapshot(*shown.display, *commandLine.snapshot, commandLine.force, messages);
    if (result.status == SnapshotResult::Status::Exists) {
        report(result.message + " " + messages(message::kUseForceOption, {}));
    } else {
        report(result.message);
    }
    if (result.status == SnapshotResult::Status::Written && !shown.completed) {
        report(messages(message::kSnapshotIncomplete, {}));
    }
    return result.status == SnapshotResult::Status::Written;
}

// --compare OLD NEW: the differences' lines, and 0 (the same), 1 (they
// differ) or 2 (trouble), as diff answers.
int CompareTargets(const CommandLine& commandLine, ViewerEnvironment& environment,
                   std::ostream& out, const ErrorLines& report) {
    const MessageLookup& messages = environment.messages();
    std::array<TargetDisplay, 2> shown;
    for (std::size_t side = 0; side < shown.size(); ++side) {
        const int prefix = side == 0 ? message::kCompareOld : message::kCompareNew;
        const auto sideReport = [&](const std::string& text) { report(messages(prefix, {text})); };
        if (!DisplayTarget(commandLine.operands[side], commandLine.argumentTextNotAnsi, environment,
                           shown[side], sideReport)) {
            return kExitTrouble;
        }
    }
    const DisplayCommand& older = *shown[0].display;
    const DisplayCommand& newer = *shown[1].display;
    bool differ = false;
    errno = 0;
    CompareDisplays(older, newer, [&](const RowDifference& difference) {
        differ = true;
        out << DifferenceLine(older, newer, difference);
    });
    if (const auto endTw = CompareEndTw(older, newer)) {
        differ = true;
        out << EndTwDifferenceLine(older, newer, *endTw);
    }
    out.flush();
    if (!out) {
        report(messages(message::kDifferencesNotWritten, {WriteFailure()}));
        return kExitTrouble;
    }
    if (!shown[0].completed || !shown[1].completed) {
        return kExitTrouble;
    }
    return differ ? kExitNotFound : kExitFound;
}

}  // namespace

bool IsHeadlessRequest(const CommandLine& commandLine) {
    return commandLine.help || commandLine.version || commandLine.exportMode ||
           commandLine.findText.has_value() || commandLine.snapshot || commandLine.compare ||
           commandLine.check || !commandLine.usageError.empty();
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
    const bool finding = commandLine.findText.has_value();
    if (!(commandLine.exportMode || finding || commandLine.snapshot || commandLine.compare ||
          commandLine.check)) {
        return ReportUsageError("--export needs ADDRESS/NAME", err);
    }
    // What a run that could not display everything exits with.
    const int failed = finding ? kExitTrouble : kExitFailure;

    const ErrorLines report(err, terminalCodeset);
    ViewerEnvironment environment(commandLine,
                                  [&report](const std::string& title, const std::string& text) {
                                      report(title + ": " + text);
                                  });
    if (commandLine.compare) {
        return CompareTargets(commandLine, environment, out, report);
    }
    if (finding && commandLine.findTextNotAnsi) {
        // Every text of a user space is Windows-1252: no need to display it.
        report(environment.messages()(message::kFindTextNotAnsi, {*commandLine.findText}));
        return kExitNotFound;
    }

    TargetDisplay shown;
    if (!DisplayTarget(commandLine.argumentText, commandLine.argumentTextNotAnsi, environment,
                       shown, [&report](const std::string& text) { report(text); })) {
        return failed;
    }
    DisplayCommand& display = *shown.display;
    const bool completed = shown.completed;
    if (commandLine.check) {
        return ListProblems(display, out, environment.messages(), report);
    }
    if (finding) {
        // What a Display that stopped part-way found is listed all the same.
        const int found =
            ListFound(display, *commandLine.findText, out, environment.messages(), report);
        return completed ? found : kExitTrouble;
    }
    bool saved = true;
    if (commandLine.snapshot) {
        saved = SaveSnapshotFile(commandLine, shown, environment.messages(), report);
    }
    if (!commandLine.exportMode) {
        return completed && saved ? kExitSuccess : kExitFailure;
    }
    if (display.list(PageList::CX).empty()) {
        return kExitFailure;
    }
    const int exported = ExportDisplayed(commandLine, display, environment, out, report);
    // Every row shown was written; an error in the user space still fails.
    const bool sound = HighestSeverity(display.problems()) != Severity::Error;
    return completed && saved && sound ? exported : kExitFailure;
}

}  // namespace twds
