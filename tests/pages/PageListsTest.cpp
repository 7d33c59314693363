#include <cstddef>
#include <optional>
#include <string_view>

#include <gtest/gtest.h>

#include "twds/PageLists.h"

namespace twds {
namespace {

// One list as the window, the export and the Display command must see it,
// written out so that a swapped or edited entry fails.
struct ExpectedList {
    PageList list;
    char kind;
    std::string_view caption;
    int tab;
    std::string_view banner;
    std::string_view viewName;
    std::string_view valueBoxName;
    bool oneLineValueBox;
    EntryKey entryKey;
    std::string_view fixedKeySuffix;
};

// clang-format off
constexpr ExpectedList kExpected[] = {
    {PageList::CX, 'C', "CX", 1, "++++++++++ Page CX ++++++++++++++++++++++++++++", "ListView1", "Text1", false, EntryKey::None, ""},
    {PageList::GC, 'G', "GC", 2, "++++++++++ Page GC ++++++++++++++++++++++++++++", "ListView2", "Text2", false, EntryKey::FixedSuffix, "0000000001"},
    {PageList::FC, 'F', "FC", 3, "++++++++++ Page FC ++++++++++++++++++++++++++++", "ListView3", "Text3", false, EntryKey::FicID, ""},
    {PageList::ZC, 'Z', "ZC", 4, "++++++++++ Page ZC ++++++++++++++++++++++++++++", "ListView4", "Text4", true, EntryKey::FicID, ""},
    {PageList::SQL, 'S', "SQL", 5, "++++++++++ Page SQL ++++++++++++++++++++++++++++", "ListView5", "Text5", false, EntryKey::FicID, ""},
};
// clang-format on

TEST(PageLists, EachListHasItsKindTabBannerNamesAndKeys) {
    ASSERT_EQ(kPageLists.size(), std::size(kExpected));
    for (std::size_t i = 0; i < std::size(kExpected); ++i) {
        const ExpectedList& expected = kExpected[i];
        const PageListInfo& info = kPageLists[i];
        SCOPED_TRACE(expected.caption);
        EXPECT_EQ(info.list, expected.list);
        EXPECT_EQ(&InfoOf(expected.list), &info);
        EXPECT_EQ(PageListOfKind(expected.kind), expected.list);
        EXPECT_EQ(info.kind, expected.kind);
        EXPECT_EQ(info.caption, expected.caption);
        EXPECT_EQ(info.tab, expected.tab);
        EXPECT_EQ(info.exportBanner, expected.banner);
        EXPECT_EQ(info.viewName, expected.viewName);
        EXPECT_EQ(info.valueBoxName, expected.valueBoxName);
        EXPECT_EQ(info.oneLineValueBox, expected.oneLineValueBox);
        EXPECT_EQ(info.entryKey, expected.entryKey);
        EXPECT_EQ(info.fixedKeySuffix, expected.fixedKeySuffix);
    }
    // The End_TW page has no list.
    for (const char kind : {'E', 'c', 'X', '\0'}) {
        EXPECT_EQ(PageListOfKind(kind), std::nullopt) << "kind " << int{kind};
    }
}

}  // namespace
}  // namespace twds
