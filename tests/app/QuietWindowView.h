#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "twds/MainWindowView.h"

namespace twds::test {

// The main window as the find bar and the comparison reach it through its
// presenter: it keeps the value last shown (as "FC <bytes>"), the status line
// and the clipboard, and its boxes hold 10.0.0.5 and TWMODEL001 for a Display.
// MainWindowPresenterTest's view logs every call instead.
class QuietWindowView : public MainWindowView {
public:
    [[nodiscard]] std::string addressText() const override { return "10.0.0.5"; }
    [[nodiscard]] std::string nameText() const override { return "TWMODEL001"; }
    void setAddressText(std::string_view /*text*/) override {}
    void setNameText(std::string_view /*text*/) override {}
    void cutNameText(std::size_t /*from*/, std::size_t /*count*/) override {}
    void selectTab(int /*tab*/) override {}
    void showValue(PageList list, std::string_view bytes) override {
        value = std::string(InfoOf(list).caption) + " " + std::string(bytes);
    }
    void showEndTw(std::string_view /*text*/) override {}
    void showStatus(std::string_view text) override { status = text; }
    void showTitle(std::string_view /*text*/) override {}
    void copyToClipboard(std::string_view text) override { clipboard = text; }
    void showFileColumn(bool /*shown*/) override {}
    void showInspection(std::string_view /*text*/) override {}
    void beginListsReset() override {}
    void endListsReset() override {}
    void setBusy(bool /*busy*/) override {}
    void placeControls(const FormLayout& /*layout*/) override {}
    [[nodiscard]] std::unique_ptr<LocalisableForm> localisableForm() override { return nullptr; }
    [[nodiscard]] std::optional<std::filesystem::path> askSavePath(
        const SaveAsRequest& /*request*/) override {
        return std::nullopt;
    }
    [[nodiscard]] std::optional<std::filesystem::path> askOpenPath(
        const SaveAsRequest& /*request*/) override {
        return std::nullopt;
    }
    [[nodiscard]] std::filesystem::path homeFolder() const override { return "/home/tester"; }
    void closeWindow() override {}

    std::string value;
    std::string status;
    std::string clipboard;
};

}  // namespace twds::test
