// twDspUsrSpc.exe: the viewer's window on Windows. A window program has no
// console of its own, so the headless modes are the console companion's
// (twDspUsrSpc.com, ConsoleMain.cpp); given one anyway, this program writes
// to the console it was started from, when there is one, and cannot make
// cmd.exe wait for its exit status.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "AnsiWide.h"
#include "MainFrame.h"
#include "WindowsCommandLine.h"
#include "twds/Catalogue.h"
#include "twds/DisplayCommand.h"
#include "twds/HeadlessRun.h"
#include "twds/ViewerEnvironment.h"

namespace {

int RunHeadlessFromWindowProgram(const twds::CommandLine& commandLine) {
    if (AttachConsole(ATTACH_PARENT_PROCESS) != FALSE) {
        // Streams already redirected by the caller stay where they go.
        if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr) {
            (void)std::freopen("CONOUT$", "w", stdout);
        }
        if (GetStdHandle(STD_ERROR_HANDLE) == nullptr) {
            (void)std::freopen("CONOUT$", "w", stderr);
        }
    }
    return twds::RunHeadless(commandLine);
}

}  // namespace

int main() {
    const twds::CommandLine commandLine = twds::win32::ProcessCommandLine();
    if (twds::IsHeadlessRequest(commandLine)) {
        return RunHeadlessFromWindowProgram(commandLine);
    }
    // Left to the system at exit: after a Display of ten million rows,
    // freeing them one by one would keep the process alive after its window
    // closed.
    auto* environment = new twds::ViewerEnvironment(
        commandLine, [](const std::string& title, const std::string& text) {
            MessageBoxW(nullptr, twds::win32::AnsiToWide(text).c_str(),
                        twds::win32::AnsiToWide(title).c_str(), MB_OK | MB_ICONERROR);
        });
    auto* display = new twds::DisplayCommand(environment->hostLink(), environment->labels());
    auto frame = std::make_unique<twds::win32::MainFrame>(
        *display, environment->registry(), environment->messages(),
        [](std::string_view id) { return twds::CatalogueText(id); });
    frame->setQuitOnClose(true);
    frame->presenter().load(commandLine.argumentTextNotAnsi ? std::string()
                                                            : commandLine.argumentText);
    frame->presenter().addStatus(environment->startupNotice(commandLine));
    ShowWindow(frame->window(), SW_SHOWDEFAULT);
    UpdateWindow(frame->window());
    // Start-up timing (docs/performance.md), as the Qt viewer does: with
    // this variable set to 1 the viewer paints the window and its lists,
    // says when it starts to quit, and quits.
    if (const char* quit = std::getenv("TWDSPUSRSPC_QUIT_AFTER_SHOW");
        quit != nullptr && std::string_view(quit) == "1") {
        RedrawWindow(frame->window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::fprintf(stderr, "quit_at_ns=%lld\n",
                     static_cast<long long>(
                         std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        PostQuitMessage(0);
    }

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!frame->preTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(message.wParam));
}
