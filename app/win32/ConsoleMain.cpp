// twDspUsrSpc.com: the viewer's console companion. A window program's
// output is not shown by cmd.exe or PowerShell, which neither wait for it
// nor see its exit status; a console program is. Where both stand in one
// folder, cmd.exe runs the .com when the user types the bare name (.COM
// comes before .EXE in PATHEXT), so "twDspUsrSpc --export ..." prints,
// redirects and answers with its status, as on Linux. Without a headless
// request it starts the window program beside it and returns at once.

#include <windows.h>

#include <string>

#include "WindowsCommandLine.h"
#include "twds/HeadlessRun.h"

namespace {

// The command line's arguments as given, after the program's name.
std::wstring ArgumentsAsGiven() {
    const wchar_t* line = GetCommandLineW();
    bool quoted = false;
    for (; *line != L'\0' && (quoted || (*line != L' ' && *line != L'\t')); ++line) {
        quoted = *line == L'"' ? !quoted : quoted;
    }
    return line;
}

int OpenWindow() {
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        program.resize(program.size() * 2);
    }
    program.replace(program.size() - 4, 4, L".exe");
    std::wstring commandLine = L"\"" + program + L"\"" + ArgumentsAsGiven();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process) == FALSE) {
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

}  // namespace

int main() {
    const twds::CommandLine commandLine = twds::win32::ProcessCommandLine();
    if (!twds::IsHeadlessRequest(commandLine)) {
        return OpenWindow();
    }
    return twds::RunHeadless(commandLine);
}
