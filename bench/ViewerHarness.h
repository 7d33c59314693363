#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "twds/CommandLine.h"
#include "twds/DisplayCommand.h"
#include "twds/MainWindow.h"
#include "twds/ViewerEnvironment.h"

class QLineEdit;

namespace twds::bench {

// The viewer as its executable sets it up (environment, Display command and
// the real window), shown on whatever Qt platform is active (offscreen in
// the benchmarks), reading saved user spaces from one store.
//
// A QApplication must exist for the harness's whole life. The registry is
// $TWDSPUSRSPC_REGISTRY; the caller points it at a scratch folder so that a
// run never touches the user's settings.
class ViewerHarness {
public:
    // The file column is shown or hidden as `fileColumn` says, whatever an
    // earlier run left in the registry.
    explicit ViewerHarness(const std::filesystem::path& store, bool fileColumn = false);
    ViewerHarness(const ViewerHarness&) = delete;
    ViewerHarness& operator=(const ViewerHarness&) = delete;
    ~ViewerHarness();

    // Types the address and name in the Info tab, presses Display through
    // its handler and lets the window process the events that the lists'
    // resets and the tab change posted (layout, repaint).
    void pressDisplay(const std::string& address, const std::string& name);

    [[nodiscard]] MainWindow& window() { return *window_; }
    [[nodiscard]] DisplayCommand& display() { return *display_; }
    [[nodiscard]] ViewerEnvironment& environment() { return *environment_; }
    // Rows in the five lists together.
    [[nodiscard]] std::size_t rowCount() const;

private:
    CommandLine commandLine_;
    std::unique_ptr<ViewerEnvironment> environment_;
    std::unique_ptr<DisplayCommand> display_;
    std::unique_ptr<MainWindow> window_;
    QLineEdit* address_ = nullptr;
    QLineEdit* name_ = nullptr;
};

}  // namespace twds::bench
