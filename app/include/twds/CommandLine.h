#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace twds {

// The viewer's command line:
//   twDspUsrSpc [--store DIR] [--hostlink LIBRARY] [ADDRESS/NAME]
//   twDspUsrSpc --export [--output FILE] [--store DIR] [--hostlink LIBRARY] ADDRESS/NAME
//   twDspUsrSpc --find TEXT [--store DIR] [--hostlink LIBRARY] ADDRESS/NAME
//   twDspUsrSpc --snapshot FILE [--force] [--export ...] ADDRESS/NAME
//   twDspUsrSpc --compare [--store DIR] [--hostlink LIBRARY] OLD NEW
//   twDspUsrSpc --check [--store DIR] [--hostlink LIBRARY] ADDRESS/NAME
//   twDspUsrSpc --help | --version
// ADDRESS/NAME may be the path of a saved user space (ending in ".twus").
struct CommandLine {
    bool exportMode = false;
    bool help = false;
    bool version = false;
    std::optional<std::string> output;  // --output; "-" means standard output
    // --find: the text to look for, converted to Windows-1252 as the
    // argument text is; findTextNotAnsi as argumentTextNotAnsi.
    std::optional<std::string> findText;
    bool findTextNotAnsi = false;
    std::string store;                    // --store, empty when not given
    std::string hostlink;                 // --hostlink, empty when not given
    std::optional<std::string> snapshot;  // --snapshot FILE
    bool force = false;                   // --force: the snapshot may replace FILE
    bool compare = false;                 // --compare OLD NEW
    bool check = false;                   // --check: list the user space's problems
    // The non-option arguments one by one (--compare's OLD and NEW); like
    // argumentText, converted to Windows-1252 unless they are .twus paths.
    std::vector<std::string> operands;
    // The non-option arguments joined by single blanks.
    std::string argumentText;
    // Set when the argument text holds characters that Windows-1252 cannot
    // hold: argumentText then shows them as "?" and is not displayed.
    bool argumentTextNotAnsi = false;
    // Options the viewer does not know, as given. The window opens anyway and
    // says they were ignored; with --export or --find they are a usage error.
    std::vector<std::string> ignoredOptions;
    // Non-empty when the arguments cannot be used; says what is wrong.
    std::string usageError;
};

// Parses the arguments that follow the program name.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The machine address and user-space name of an argument text.
struct AddressAndName {
    std::string address;  // the text before the first "/", untrimmed
    std::string name;     // the text after it, untrimmed, later "/" included
};

// Splits the argument text at its first "/". nullopt when the text is empty
// or holds no "/": such a command line is ignored.
[[nodiscard]] std::optional<AddressAndName> SplitArgumentText(std::string_view argumentText);

// The --help text.
[[nodiscard]] std::string UsageText();

}  // namespace twds
