#include "twds/FormLayout.h"

#include <gtest/gtest.h>

namespace twds {

void PrintTo(const TwipsRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << "}";
}

namespace {

TEST(FormLayout, DesignSizeGivesTheDesignLayoutBack) {
    // The tab control is 5295 x 5895 at an outer size of 5415 x 7065.
    const FormLayout f = ComputeFormLayout(5415, 7065);
    EXPECT_EQ(f.tabs, (TwipsRect{0, 0, 5295, 5895}));
    EXPECT_EQ(f.listView, (TwipsRect{120, 360, 5055, 3735}));
    EXPECT_EQ(f.valueBox, (TwipsRect{120, 4200, 5055, 1575}));
    EXPECT_EQ(f.endTwBox, (TwipsRect{120, 360, 5055, 5415}));
    EXPECT_EQ(f.displayButton, (TwipsRect{360, 6120, 1095, 375}));
    EXPECT_EQ(f.exitButton, (TwipsRect{3840, 6120, 1095, 375}));
    // Export is centred: 5415 / 2 - 1095 / 2.
    EXPECT_EQ(f.exportButton, (TwipsRect{2160, 6120, 1095, 375}));
    EXPECT_EQ(f.addressBox, design::kAddressBox);
    EXPECT_EQ(f.nameLabel, design::kNameLabel);
}

TEST(FormLayout, SmallerSizesSnapToTheMinimum) {
    const FormLayout minimum = ComputeFormLayout(5415, 7056);
    EXPECT_EQ(minimum.tabs, (TwipsRect{0, 0, 5295, 5886}));
    // 5886 * 3735 / 5895 = 3729.3
    EXPECT_EQ(minimum.listView.height, 3729);
    EXPECT_EQ(minimum.valueBox.top, 3729 + 360 + 105);
    EXPECT_EQ(minimum.valueBox.height, 5886 - (3729 + 360) - 105 - 120);
    EXPECT_EQ(minimum.displayButton.top, 5886 + 225);

    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{100, 9000}, std::pair{9000, -5}}) {
        const FormLayout f = ComputeFormLayout(w, h);
        EXPECT_GE(f.outerWidth, 5415);
        EXPECT_GE(f.outerHeight, 7056);
        EXPECT_GT(f.valueBox.height, 0);
        EXPECT_GT(f.listView.width, 0);
    }
    EXPECT_EQ(ComputeFormLayout(1, 1).tabs, minimum.tabs);
    EXPECT_EQ(ComputeFormLayout(1, 1).exitButton, minimum.exitButton);
}

TEST(FormLayout, GrowingKeepsProportionsAndAnchors) {
    const FormLayout f = ComputeFormLayout(8015, 9000);
    EXPECT_EQ(f.tabs, (TwipsRect{0, 0, 7895, 7830}));
    // 7830 * 3735 / 5895 = 4960.99
    EXPECT_EQ(f.listView, (TwipsRect{120, 360, 7655, 4961}));
    EXPECT_EQ(f.valueBox, (TwipsRect{120, 4961 + 360 + 105, 7655, 7830 - 5321 - 105 - 120}));
    EXPECT_EQ(f.endTwBox, (TwipsRect{120, 360, 7655, 7830 - 480}));
    EXPECT_EQ(f.displayButton, (TwipsRect{360, 8055, 1095, 375}));
    EXPECT_EQ(f.exitButton.left + f.exitButton.width, 8015 - 480);
    EXPECT_EQ(f.exportButton.left, (8015 - 1095) / 2);
    // The Info tab's controls do not move.
    EXPECT_EQ(f.machineLabel, design::kMachineLabel);
    EXPECT_EQ(f.nameBox, design::kNameBox);
}

TEST(FormLayout, TheRatioTakenAtLoadDrivesTheListHeight) {
    const FormLayout half = ComputeFormLayout(5415, 7065, 0.5);
    EXPECT_EQ(half.listView.height, 2948);  // 5895 / 2 = 2947.5, rounded half away
    EXPECT_EQ(half.valueBox.top, 2948 + 360 + 105);
}

}  // namespace
}  // namespace twds
