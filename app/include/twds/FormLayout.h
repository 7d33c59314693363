#pragma once

namespace twds {

// A control's rectangle in twips (1/1440 inch). Controls on the tab control
// are relative to the tab control's top-left corner, the others to the
// window's client area.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// The main window's design, in twips. The window's outer size exceeds its
// client area by the frame: 120 wide (both borders) and 486 high (title bar
// and borders).
namespace design {
inline constexpr int kFrameWidth = 120;
inline constexpr int kFrameHeight = 486;
inline constexpr int kClientWidth = 5295;
inline constexpr int kClientHeight = 6570;
inline constexpr int kMinOuterWidth = kClientWidth + kFrameWidth;     // 5415
inline constexpr int kMinOuterHeight = kClientHeight + kFrameHeight;  // 7056

inline constexpr TwipsRect kTabs{0, 0, 5295, 5895};
inline constexpr TwipsRect kMachineLabel{240, 900, 2295, 255};
inline constexpr TwipsRect kAddressBox{2640, 900, 2175, 285};
inline constexpr TwipsRect kNameLabel{240, 1620, 2295, 255};
inline constexpr TwipsRect kNameBox{2640, 1620, 2175, 285};
inline constexpr TwipsRect kListView{120, 360, 5055, 3735};
inline constexpr TwipsRect kValueBox{120, 4200, 5055, 1575};
inline constexpr TwipsRect kEndTwBox{120, 360, 5055, 5415};
inline constexpr TwipsRect kDisplayButton{360, 6120, 1095, 375};
inline constexpr TwipsRect kExportButton{2040, 6120, 1095, 375};
inline constexpr TwipsRect kExitButton{3840, 6120, 1095, 375};

// The list height in proportion to the tab control's, as the window takes it
// once when it loads.
inline constexpr double kListHeightRatio =
    static_cast<double>(kListView.height) / static_cast<double>(kTabs.height);
}  // namespace design

// Every control's rectangle after a resize, in twips.
struct FormLayout {
    int outerWidth = 0;   // the outer size the layout was made for, after the
    int outerHeight = 0;  // minimum-size rule
    TwipsRect tabs;
    TwipsRect machineLabel;
    TwipsRect addressBox;
    TwipsRect nameLabel;
    TwipsRect nameBox;
    TwipsRect listView;  // ListView1 to ListView5
    TwipsRect valueBox;  // Text1 to Text5
    TwipsRect endTwBox;
    TwipsRect displayButton;
    TwipsRect exportButton;
    TwipsRect exitButton;
};

// The window's resize rules for an outer size of W x H twips: the size is
// first raised to the minimum 5415 x 7056, then the tab control follows the
// window, the lists keep `listHeightRatio` of its height and the value boxes
// take the rest, the buttons stand under the tab control with Exit 480 twips
// from the right edge and Export centred. The left edges and the Info tab's
// controls do not move.
[[nodiscard]] FormLayout ComputeFormLayout(int outerWidthTwips, int outerHeightTwips,
                                           double listHeightRatio = design::kListHeightRatio);

}  // namespace twds
