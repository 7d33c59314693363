#include "ViewerHarness.h"

#include <iostream>
#include <stdexcept>

#include <QCoreApplication>
#include <QLineEdit>

#include "twds/Catalogue.h"
#include "twds/Cp1252.h"

namespace twds::bench {

ViewerHarness::ViewerHarness(const std::filesystem::path& store, bool fileColumn) {
    commandLine_.store = store.string();
    environment_ = std::make_unique<ViewerEnvironment>(
        commandLine_, [](const std::string& title, const std::string& text) {
            std::cerr << title << ": " << text << '\n';
        });
    if (!environment_->hostLinkStarted()) {
        throw std::runtime_error(environment_->hostLinkError());
    }
    display_ = std::make_unique<DisplayCommand>(environment_->hostLink(), environment_->labels());
    window_ =
        std::make_unique<MainWindow>(*display_, environment_->registry(), environment_->messages(),
                                     [](std::string_view id) { return CatalogueText(id); });
    window_->presenter().load({});
    window_->presenter().setFileColumnShown(fileColumn);
    address_ = window_->findChild<QLineEdit*>(QStringLiteral("txtIpAddress"));
    name_ = window_->findChild<QLineEdit*>(QStringLiteral("txtUsrSpcName"));
    if (address_ == nullptr || name_ == nullptr) {
        throw std::runtime_error("The window has no txtIpAddress or txtUsrSpcName box.");
    }
    window_->show();
    QCoreApplication::processEvents();
}

ViewerHarness::~ViewerHarness() = default;

void ViewerHarness::pressDisplay(const std::string& address, const std::string& name) {
    address_->setText(Cp1252ToQString(address));
    name_->setText(Cp1252ToQString(name));
    window_->presenter().display();
    QCoreApplication::processEvents();
}

std::size_t ViewerHarness::rowCount() const {
    return display_->totalRows();
}

}  // namespace twds::bench
