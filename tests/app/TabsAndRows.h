#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "twds/MainWindowView.h"
#include "twds/PageLists.h"

namespace twds::test {

// What a bar's fake view keeps of the window's tabs: the tab and rows the
// presenter told it to select (which it then reports as selected) and the
// captions it gave the tabs.
struct TabsAndRows {
    // The captions as "|CX 3|GC|...", the Info tab's first.
    [[nodiscard]] std::string shownCaptions() const {
        std::string all = captions[0];
        for (std::size_t at = 1; at < captions.size(); ++at) {
            all += "|" + captions[at];
        }
        return all;
    }
    // The tab and current row as "FC 8".
    [[nodiscard]] std::string at() const {
        if (tab == form::kEndTwTab) {
            return "End_TW";
        }
        for (const PageListInfo& info : kPageLists) {
            if (info.tab == tab) {
                const auto row = rows[static_cast<std::size_t>(info.list)];
                return std::string(info.caption) + " " + (row ? std::to_string(*row) : "-");
            }
        }
        return "Info";
    }

    int tab = form::kInfoTab;
    std::array<std::optional<std::size_t>, kPageListCount> rows{};
    std::array<std::string, form::kTabCount> captions{};
};

}  // namespace twds::test
