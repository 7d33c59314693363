#include <gtest/gtest.h>

#include "twds/FormLayout.h"

namespace twds {

void PrintTo(const TwipsRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << "}";
}

namespace {

// At the design's outer size (5415 x 7065) the design's layout; larger, the
// tab control grows, the lists keep their share of its height and the
// buttons their anchors; smaller, the minimum; the Info tab's controls stay.
TEST(FormLayout, SizesGiveTheDesignLayoutGrownOrAtItsMinimum) {
    const FormLayout design = ComputeFormLayout(5415, 7065);
    EXPECT_EQ(design.tabs, (TwipsRect{0, 0, 5295, 5895}));
    EXPECT_EQ(design.listView, (TwipsRect{120, 360, 5055, 3735}));
    EXPECT_EQ(design.valueBox, (TwipsRect{120, 4200, 5055, 1575}));
    EXPECT_EQ(design.endTwBox, (TwipsRect{120, 360, 5055, 5415}));
    EXPECT_EQ(design.displayButton, (TwipsRect{360, 6120, 1095, 375}));
    EXPECT_EQ(design.exportButton, (TwipsRect{2160, 6120, 1095, 375}));  // 5415 / 2 - 1095 / 2
    EXPECT_EQ(design.exitButton, (TwipsRect{3840, 6120, 1095, 375}));

    const FormLayout grown = ComputeFormLayout(8015, 9000);
    EXPECT_EQ(grown.tabs, (TwipsRect{0, 0, 7895, 7830}));
    EXPECT_EQ(grown.listView, (TwipsRect{120, 360, 7655, 4961}));  // 7830 * 3735 / 5895 = 4960.99
    EXPECT_EQ(grown.valueBox, (TwipsRect{120, 5426, 7655, 2284}));
    EXPECT_EQ(grown.endTwBox, (TwipsRect{120, 360, 7655, 7350}));
    EXPECT_EQ(grown.exportButton, (TwipsRect{3460, 8055, 1095, 375}));
    EXPECT_EQ(grown.exitButton, (TwipsRect{6440, 8055, 1095, 375}));
    EXPECT_EQ(grown.nameBox, design.nameBox);
    EXPECT_EQ(grown.machineLabel, design.machineLabel);

    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{100, 9000}, std::pair{9000, -5}}) {
        const FormLayout f = ComputeFormLayout(w, h);
        EXPECT_GE(f.outerWidth, 5415);
        EXPECT_GE(f.outerHeight, 7056);
    }
    const FormLayout minimum = ComputeFormLayout(1, 1);
    EXPECT_EQ(minimum.tabs, (TwipsRect{0, 0, 5295, 5886}));
    EXPECT_EQ(minimum.valueBox, (TwipsRect{120, 4194, 5055, 1572}));  // list 5886 * 3735 / 5895
}

TEST(FormLayout, TheRatioTakenAtLoadDrivesTheListHeight) {
    const FormLayout half = ComputeFormLayout(5415, 7065, 0.5);
    EXPECT_EQ(half.listView.height, 2948);  // 5895 / 2 = 2947.5, rounded half away
    EXPECT_EQ(half.valueBox.top, 2948 + 360 + 105);
}

}  // namespace
}  // namespace twds
