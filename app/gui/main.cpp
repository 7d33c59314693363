// twDspUsrSpc: shows the control user space of a Tidewell replication model.
// Help, version, the headless export and command-line errors run without a
// window; everything else opens the main window.

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "twds/CommandLine.h"
#include "twds/Cp1252.h"
#include "twds/DisplayCommand.h"
#include "twds/HeadlessRun.h"
#include "twds/Ressource.h"
#include "twds/ViewerEnvironment.h"
#include "twds/frmDspUsrspc.h"

namespace {

// The arguments after the program name as Windows-1252 bytes, the encoding
// of every text the viewer handles, read through the system's 8-bit encoding.
std::vector<std::string> ArgumentsOf(int argc, char* argv[]) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(twds::QStringToCp1252(QString::fromLocal8Bit(argv[i])));
    }
    return arguments;
}

// The arguments without the options that QApplication takes for itself
// (-platform offscreen, -style fusion, -reverse, ...), so that they are not
// refused as unknown before QApplication has removed them. The lists are
// QGuiApplication's and QApplication's documented options.
std::vector<std::string> WithoutQtOptions(const std::vector<std::string>& arguments) {
    static constexpr std::array<std::string_view, 14> kWithValue{
        "-platform",    "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
        "-qwindowicon", "-qwindowtitle",       "-session",       "-style",  "-stylesheet",
        "-display",     "-geometry",           "-title",         "-visual"};
    static constexpr std::array<std::string_view, 6> kFlags{
        "-reverse", "-widgetcount", "-nograb", "-dograb", "-sync", "-testability"};
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--") {
            kept.insert(kept.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i),
                        arguments.end());
            break;
        }
        if (std::find(kWithValue.begin(), kWithValue.end(), argument) != kWithValue.end()) {
            ++i;  // and its value
        } else if (std::find(kFlags.begin(), kFlags.end(), argument) == kFlags.end() &&
                   !argument.starts_with("-qmljsdebugger=")) {
            kept.push_back(arguments[i]);
        }
    }
    return kept;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Parsed before QApplication exists, so that a headless run needs no
    // display server; Qt's own options are set aside for QApplication.
    const twds::CommandLine commandLine =
        twds::ParseCommandLine(WithoutQtOptions(ArgumentsOf(argc, argv)));
    if (twds::IsHeadlessRequest(commandLine)) {
        return twds::RunHeadless(commandLine);
    }

    QApplication app(argc, argv);

    twds::ViewerEnvironment environment(commandLine, [](const std::string& title,
                                                        const std::string& text) {
        QMessageBox::critical(nullptr, twds::Cp1252ToQString(title), twds::Cp1252ToQString(text));
    });
    twds::DisplayCommand display(environment.hostLink(), environment.labels());
    twds::frmDspUsrspc window(display, environment.registry(), environment.messages(),
                              [](std::string_view id) { return twds::GetRessource(id); });
    window.Form_Load(commandLine.argumentText);
    if (!environment.hostLinkStarted() && window.statusText().isEmpty()) {
        // Without a host link every Display fails; say why from the start.
        window.showStatus(environment.hostLinkError());
    }
    window.show();
    // Start-up benchmarks (bench/run.sh) time the process from its start to
    // the window shown with its lists filled: with this variable set to 1 the
    // viewer quits after the event loop's first pass, which paints the window.
    if (const char* quit = std::getenv("TWDSPUSRSPC_QUIT_AFTER_SHOW");
        quit != nullptr && std::string_view(quit) == "1") {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return QApplication::exec();
}
