#include "twds/CommandLine.h"

#include <array>

#include "twds/Result.h"
#include "twds/Snapshot.h"

namespace twds {

namespace {

enum class Option {
    Export,
    Find,
    Help,
    Version,
    Output,
    Store,
    Hostlink,
    Snapshot,
    Force,
    Compare,
    Check
};

struct KnownOption {
    std::string_view name;
    Option option;
    bool takesValue;
};

constexpr std::array<KnownOption, 11> kOptions{{
    {"export", Option::Export, false},
    {"find", Option::Find, true},
    {"help", Option::Help, false},
    {"version", Option::Version, false},
    {"output", Option::Output, true},
    {"store", Option::Store, true},
    {"hostlink", Option::Hostlink, true},
    {"snapshot", Option::Snapshot, true},
    {"force", Option::Force, false},
    {"compare", Option::Compare, false},
    {"check", Option::Check, false},
}};

const KnownOption* FindOption(std::string_view name) {
    for (const KnownOption& known : kOptions) {
        if (known.name == name) {
            return &known;
        }
    }
    return nullptr;
}

void Apply(CommandLine& line, Option option, std::string value) {
    switch (option) {
        case Option::Export:
            line.exportMode = true;
            break;
        case Option::Find:
            line.findText = std::move(value);
            break;
        case Option::Help:
            line.help = true;
            break;
        case Option::Version:
            line.version = true;
            break;
        case Option::Output:
            line.output = std::move(value);
            break;
        case Option::Store:
            line.store = std::move(value);
            break;
        case Option::Hostlink:
            line.hostlink = std::move(value);
            break;
        case Option::Snapshot:
            line.snapshot = std::move(value);
            break;
        case Option::Force:
            line.force = true;
            break;
        case Option::Compare:
            line.compare = true;
            break;
        case Option::Check:
            line.check = true;
            break;
    }
}

// Reads the option at arguments[index] (which begins with "-"), taking its
// value from "=value" or from the next argument. An unknown option is set
// aside; a failure is the usage error.
Status ParseOption(const std::vector<std::string>& arguments, std::size_t& index,
                   CommandLine& line) {
    const std::string_view argument = arguments[index];
    const std::size_t equals = argument.find('=');
    const std::string_view name =
        argument.substr(2, equals == std::string_view::npos ? std::string_view::npos : equals - 2);
    const KnownOption* known =
        argument.size() > 2 && argument.starts_with("--") ? FindOption(name) : nullptr;
    if (known == nullptr) {
        line.ignoredOptions.emplace_back(argument);
        return {};
    }
    if (!known->takesValue) {
        if (equals != std::string_view::npos) {
            return Failure{"option '--" + std::string(name) + "' takes no value"};
        }
        Apply(line, known->option, {});
        return {};
    }
    std::string value;
    if (equals != std::string_view::npos) {
        value = std::string(argument.substr(equals + 1));
    } else if (index + 1 < arguments.size()) {
        value = arguments[++index];
    }
    if (value.empty()) {
        return Failure{"option '--" + std::string(name) + "' needs a value"};
    }
    Apply(line, known->option, std::move(value));
    return {};
}

// ADDRESS/NAME or a saved user space's path.
bool IsTarget(std::string_view text) {
    return IsSnapshotPath(text) || SplitArgumentText(text).has_value();
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    bool anyArgument = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        // A lone "-" is an ordinary argument, as for most tools.
        if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            if (Status parsed = ParseOption(arguments, index, line); !parsed) {
                line.usageError = parsed.error();
                return line;
            }
            continue;
        }
        if (anyArgument) {
            line.argumentText += ' ';
        }
        line.argumentText += argument;
        line.operands.push_back(argument);
        anyArgument = true;
    }

    if (line.help || line.version) {
        return line;
    }
    const bool finding = line.findText.has_value();
    const bool headless = line.exportMode || finding || line.snapshot || line.compare || line.check;
    if (line.check && (line.exportMode || finding || line.snapshot || line.compare)) {
        line.usageError = "--check cannot be used with --export, --find, --snapshot or --compare";
    } else if (line.exportMode && finding) {
        line.usageError = "--find cannot be used with --export";
    } else if (line.compare && (line.exportMode || finding || line.snapshot)) {
        line.usageError = "--compare cannot be used with --export, --find or --snapshot";
    } else if (finding && line.snapshot) {
        line.usageError = "--snapshot cannot be used with --find";
    } else if (headless && !line.ignoredOptions.empty()) {
        // A script must not run on with an option it meant but mistyped.
        line.usageError = "unknown option '" + line.ignoredOptions.front() + "'";
    } else if (line.output && !line.exportMode) {
        line.usageError = "--output needs --export";
    } else if (line.force && !line.snapshot) {
        line.usageError = "--force needs --snapshot";
    } else if (line.compare) {
        if (line.operands.size() != 2 || !IsTarget(line.operands[0]) ||
            !IsTarget(line.operands[1])) {
            line.usageError = "--compare needs OLD and NEW, each ADDRESS/NAME or a .twus file";
        }
    } else if (headless && !IsTarget(line.argumentText)) {
        const std::string_view mode = line.exportMode ? "--export"
                                      : finding       ? "--find"
                                      : line.check    ? "--check"
                                                      : "--snapshot";
        line.usageError = std::string(mode) +
                          " needs ADDRESS/NAME, the machine's address, \"/\" and the "
                          "user space name, or the path of a .twus file";
    }
    return line;
}

std::optional<AddressAndName> SplitArgumentText(std::string_view argumentText) {
    const std::size_t slash = argumentText.find('/');
    if (argumentText.empty() || slash == std::string_view::npos) {
        return std::nullopt;
    }
    return AddressAndName{std::string(argumentText.substr(0, slash)),
                          std::string(argumentText.substr(slash + 1))};
}

std::string UsageText() {
    return "Usage:\n"
           "  twDspUsrSpc [--store DIR] [--hostlink LIBRARY] [ADDRESS/NAME]\n"
           "  twDspUsrSpc --export [--output FILE] [--store DIR] [--hostlink LIBRARY] "
           "ADDRESS/NAME\n"
           "  twDspUsrSpc --find TEXT [--store DIR] [--hostlink LIBRARY] ADDRESS/NAME\n"
           "  twDspUsrSpc --snapshot FILE [--force] [--export ...] ADDRESS/NAME\n"
           "  twDspUsrSpc --compare [--store DIR] [--hostlink LIBRARY] OLD NEW\n"
           "  twDspUsrSpc --check [--store DIR] [--hostlink LIBRARY] ADDRESS/NAME\n"
           "  twDspUsrSpc --help | --version\n"
           "\n"
           "Shows the control user space NAME of the replication engine on the machine\n"
           "ADDRESS. With ADDRESS/NAME the window displays it at once. A path ending in\n"
           "\".twus\" (a snapshot) may stand wherever ADDRESS/NAME does.\n"
           "\n"
           "Options:\n"
           "  --export            display without a window and write the export file\n"
           "                      where the Export button would (the \"DataPath\" folder)\n"
           "  --output FILE       with --export: write the export to FILE instead;\n"
           "                      \"-\" writes it to standard output\n"
           "  --find TEXT         display without a window and list the rows whose label\n"
           "                      or value holds TEXT, ignoring case, one line each:\n"
           "                      LIST FILE ROW PAGE POSITION OFFSET WIDTH LABEL VALUE,\n"
           "                      tab-separated, in UTF-8 (control bytes as \\xNN)\n"
           "  --snapshot FILE     display without a window and save the pages fetched in\n"
           "                      FILE, a saved user space (.twus); with or without --export\n"
           "  --force             with --snapshot: replace FILE when it exists\n"
           "  --compare           display OLD and NEW without a window and list their\n"
           "                      differences, one line each: MARK LIST FILE LABEL OLD NEW,\n"
           "                      tab-separated as with --find; MARK is \"~\" for a changed\n"
           "                      value, \"+\" for a row only in NEW, \"-\" for one only in OLD\n"
           "  --check             display without a window and list what looks wrong with\n"
           "                      the user space, one line each: SEVERITY LIST FILE ROW\n"
           "                      LABEL MESSAGE, tab-separated as with --find; SEVERITY is\n"
           "                      \"error\", \"warning\" or \"note\"\n"
           "  --store DIR         read saved user spaces (DIR/ADDRESS/NAME.twus) first\n"
           "  --hostlink LIBRARY  use this host-link library instead of saved user spaces\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "  --                  end of options\n"
           "\n"
           "Exit status with --export: 0 when the user space was displayed completely and\n"
           "written, 1 when anything failed or the user space has an error (every row\n"
           "shown is written all the same), 2 when the command line cannot be used.\n"
           "With --find: 0 when a row matched, 1 when none did, 2 when the command line\n"
           "cannot be used or the user space could not be displayed completely.\n"
           "With --snapshot: 0 when the user space was displayed completely and saved (and\n"
           "exported), 1 when anything failed, 2 when the command line cannot be used.\n"
           "With --compare, as diff answers: 0 when they are the same, 1 when they differ,\n"
           "2 when the command line cannot be used or either could not be displayed\n"
           "completely.\n"
           "With --check: 0 when nothing worse than a note was found, 1 when an error or\n"
           "a warning was, 2 when the command line cannot be used.\n";
}

}  // namespace twds
