#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "twds/PageLabels.h"
#include "twds/PageLists.h"

namespace twds {

// A FicID's stand-in when a label that ends with one is measured: a FicID is
// ten capitals or digits, and N is a capital of middling width.
inline constexpr std::string_view kFicIdStandIn = "NNNNNNNNNN";

// Every label a page list can hold, in the order the decoders add them, so
// that the window can size the label column from the language's labels
// instead of from its rows (a list may hold millions). Entry heading rows end
// with the file's FicID, here kFicIdStandIn.
[[nodiscard]] std::vector<std::string> LabelsOfList(PageList list, const PageLabels& labels);

}  // namespace twds
