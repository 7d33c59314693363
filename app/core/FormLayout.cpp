#include "twds/FormLayout.h"

#include <algorithm>
#include <cmath>

namespace twds {

FormLayout ComputeFormLayout(int outerWidthTwips, int outerHeightTwips, double listHeightRatio) {
    FormLayout f;
    const int w = std::max(outerWidthTwips, design::kMinOuterWidth);
    const int h = std::max(outerHeightTwips, design::kMinOuterHeight);
    f.outerWidth = w;
    f.outerHeight = h;

    f.tabs = {design::kTabs.left, design::kTabs.top, w - 120, h - 1170};

    f.machineLabel = design::kMachineLabel;
    f.addressBox = design::kAddressBox;
    f.nameLabel = design::kNameLabel;
    f.nameBox = design::kNameBox;

    const int listTop = design::kListView.top;
    const int listHeight =
        static_cast<int>(std::lround(static_cast<double>(f.tabs.height) * listHeightRatio));
    const int listWidth = f.tabs.width - 240;
    f.listView = {design::kListView.left, listTop, listWidth, listHeight};

    const int valueTop = listHeight + listTop + 105;
    f.valueBox = {design::kValueBox.left, valueTop, listWidth,
                  f.tabs.height - (listHeight + listTop) - 105 - 120};

    f.endTwBox = {design::kEndTwBox.left, design::kEndTwBox.top, listWidth,
                  f.tabs.height - 120 - 360};

    const int buttonTop = f.tabs.height + 225;
    f.displayButton = {design::kDisplayButton.left, buttonTop, design::kDisplayButton.width,
                       design::kDisplayButton.height};
    const int exportWidth = design::kExportButton.width;
    // W / 2 - width / 2 in twips; the halves are rounded as one, so an odd
    // width does not shift the centre.
    f.exportButton = {static_cast<int>(std::lround((w - exportWidth) / 2.0)), buttonTop,
                      exportWidth, design::kExportButton.height};
    const int cancelWidth = design::kExitButton.width;
    f.exitButton = {w - 480 - cancelWidth, buttonTop, cancelWidth, design::kExitButton.height};
    return f;
}

}  // namespace twds
