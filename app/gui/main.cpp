// twDspUsrSpc: shows the control user space of a Tidewell replication model.
// Help, version, the headless export and command-line errors run without a
// window; everything else opens the main window.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QTranslator>

#include "twds/Catalogue.h"
#include "twds/CommandLine.h"
#include "twds/Cp1252.h"
#include "twds/DisplayCommand.h"
#include "twds/DisplayServer.h"
#include "twds/HeadlessRun.h"
#include "twds/MainWindow.h"
#include "twds/Snapshot.h"
#include "twds/StatusMessages.h"
#include "twds/TerminalText.h"
#include "twds/ViewerEnvironment.h"

namespace {

// The arguments after the program name as the system gave them: the paths
// among them go back to the system unchanged.
std::vector<std::string> ArgumentsOf(int argc, char* argv[]) {
    return {argv + std::min(argc, 1), argv + argc};
}

// `argument` in Windows-1252, read through the system's 8-bit encoding. False
// when the code page cannot hold it; it then shows "?" for what is missing.
bool TakeAsAnsi(std::string& argument) {
    const QString text = QString::fromLocal8Bit(argument);
    if (auto exact = twds::QStringToCp1252Exactly(text)) {
        argument = std::move(*exact);
        return true;
    }
    argument = twds::QStringToCp1252(text);
    return false;
}

// The address and name, which become page requests, and the text to find, in
// Windows-1252 like every text the viewer handles. A saved user space's path
// goes back to the system as it came.
void TakeArgumentTextAsAnsi(twds::CommandLine& commandLine) {
    if (!commandLine.compare && !twds::IsSnapshotPath(commandLine.argumentText)) {
        commandLine.argumentTextNotAnsi = !TakeAsAnsi(commandLine.argumentText);
    }
    for (std::string& operand : commandLine.operands) {
        if (!twds::IsSnapshotPath(operand) && !TakeAsAnsi(operand)) {
            commandLine.argumentTextNotAnsi = true;
        }
    }
    if (commandLine.findText) {
        commandLine.findTextNotAnsi = !TakeAsAnsi(*commandLine.findText);
    }
}

// The window system Qt will use: "-platform NAME" or $QT_QPA_PLATFORM.
std::string RequestedPlatform(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "-platform") {
            return arguments[i + 1];
        }
    }
    const char* variable = std::getenv("QT_QPA_PLATFORM");
    return variable != nullptr ? variable : "";
}

// Says, in the user's language, that the window needs a display and that
// --export does not.
int ReportNoDisplay(const twds::CommandLine& commandLine) {
    const twds::ViewerEnvironment environment(
        commandLine, [](const std::string& title, const std::string& text) {
            std::cerr << twds::AnsiToTerminal(title + ": " + text, twds::TerminalCodeset()) << '\n';
        });
    std::cerr << twds::AnsiToTerminal(environment.messages()(twds::message::kNoDisplay, {}),
                                      twds::TerminalCodeset())
              << '\n';
    return 1;
}

// Qt's own texts (the Save As dialog's buttons and labels) in the catalogue's
// language, from the translations Debian ships with Qt.
void InstallQtTranslations(QTranslator& translator) {
    const twds::Catalogue* catalogue = twds::InstalledCatalogue();
    if (catalogue == nullptr || catalogue->language().empty()) {
        return;
    }
    const QString language = QString::fromStdString(catalogue->language()).toLower();
    if (translator.load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translator);
    }
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
    const std::vector<std::string> arguments = ArgumentsOf(argc, argv);
    twds::CommandLine commandLine = twds::ParseCommandLine(WithoutQtOptions(arguments));
    TakeArgumentTextAsAnsi(commandLine);
    if (twds::IsHeadlessRequest(commandLine)) {
        return twds::RunHeadless(commandLine);
    }
    if (!twds::WindowCanOpen(RequestedPlatform(arguments), twds::ProcessEnvironment)) {
        return ReportNoDisplay(commandLine);
    }

    // Created before the application and left to the system at exit: after a
    // Display of ten million rows, freeing them one by one would keep the
    // window's process alive a second after it closed.
    std::unique_ptr<twds::ViewerEnvironment> environment;
    std::unique_ptr<twds::DisplayCommand> display;
    int status = 0;
    {
        QApplication app(argc, argv);
        // The desktop entry's name ties the window to its launcher; the icon
        // is the one an install puts in the icon theme, none in a build tree.
        QGuiApplication::setDesktopFileName(QStringLiteral("org.twdspusrspc.twDspUsrSpc"));
        QApplication::setWindowIcon(
            QIcon::fromTheme(QStringLiteral("org.twdspusrspc.twDspUsrSpc")));
        environment = std::make_unique<twds::ViewerEnvironment>(
            commandLine, [](const std::string& title, const std::string& text) {
                QMessageBox::critical(nullptr, twds::Cp1252ToQString(title),
                                      twds::Cp1252ToQString(text));
            });
        display =
            std::make_unique<twds::DisplayCommand>(environment->hostLink(), environment->labels());
        twds::MainWindow window(*display, environment->registry(), environment->messages(),
                                [](std::string_view id) { return twds::CatalogueText(id); });
        window.presenter().load(commandLine.argumentTextNotAnsi ? std::string()
                                                                : commandLine.argumentText);
        QTranslator qtTranslator;
        InstallQtTranslations(qtTranslator);
        window.presenter().addStatus(environment->startupNotice(commandLine));
        window.show();
        // Start-up benchmarks (bench/run.sh) time the process from its start to
        // the window shown with its lists filled: with this variable set to 1 the
        // viewer quits after the event loop's first pass, which paints the window.
        // It also prints when it starts to quit, so that the time the process
        // takes to end after its window closed can be measured.
        if (const char* quit = std::getenv("TWDSPUSRSPC_QUIT_AFTER_SHOW");
            quit != nullptr && std::string_view(quit) == "1") {
            QTimer::singleShot(0, &app, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::cerr << "quit_at_ns="
                          << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()
                          << std::endl;
                QCoreApplication::quit();
            });
        }
        status = QApplication::exec();
    }
    // The window and Qt are gone (the clipboard handed on); the rows and the
    // catalogue are the system's to free.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
