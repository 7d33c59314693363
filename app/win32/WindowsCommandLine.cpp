#include "WindowsCommandLine.h"

#include <windows.h>
// Needs windows.h first.
#include <shellapi.h>

#include <string>
#include <vector>

#include "AnsiWide.h"
#include "twds/Snapshot.h"

namespace twds::win32 {

CommandLine ProcessCommandLine() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    std::vector<bool> fits;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(WideToAnsi(wide[i]));
        fits.push_back(WideFitsAnsi(wide[i]));
    }
    LocalFree(wide);
    CommandLine commandLine = ParseCommandLine(arguments);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (fits[i]) {
            continue;
        }
        const std::string& argument = arguments[i];
        if (commandLine.findText && *commandLine.findText == argument) {
            commandLine.findTextNotAnsi = true;
        } else if (!IsSnapshotPath(argument)) {
            commandLine.argumentTextNotAnsi = true;
        }
    }
    return commandLine;
}

}  // namespace twds::win32
