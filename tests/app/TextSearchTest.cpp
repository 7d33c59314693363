#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeHostLink.h"
#include "ModelPages.h"
#include "twds/DisplayCommand.h"
#include "twds/TextSearch.h"

namespace twds {
namespace {

// Windows-1252's letters fold both ways; its other bytes only match
// themselves, the pairs that sit 0x20 apart as letters do among them.
TEST(TextSearchTest, CaseFoldsAsWindows1252Letters) {
    const struct {
        std::string_view a;
        std::string_view b;
        bool same;
    } cases[] = {
        {"a", "A", true},        {"z", "Z", true},        {"\xE9", "\xC9", true},  // é É
        {"\xE0", "\xC0", true},  {"\xFE", "\xDE", true},                           // à À, þ Þ
        {"\x9A", "\x8A", true},  {"\x9C", "\x8C", true},  {"\x9E", "\x8E", true},  // š œ ž
        {"\xFF", "\x9F", true},                                                    // ÿ Ÿ
        {"\xF7", "\xD7", false}, {"\xDF", "\xFF", false}, {"@", "`", false},       // ÷ × ß
        {"[", "{", false},       {"\x1A", "\x3A", false}, {"\xBF", "\x9F", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiCaseSearcher(c.a).foundIn(c.b), c.same) << c.a << " in " << c.b;
        EXPECT_EQ(AnsiCaseSearcher(c.b).foundIn(c.a), c.same) << c.b << " in " << c.a;
    }
    EXPECT_TRUE(AnsiCaseSearcher("d\xC9J\xC0").foundIn("Il est D\xE9j\xE0 l\xE0"));
    EXPECT_FALSE(AnsiCaseSearcher("").foundIn("anything"));
    // Where it stands: the first place, after a false start on the same bytes.
    EXPECT_EQ(AnsiCaseSearcher("d\xC9J\xC0").find("Il est D\xE9j\xE0 l\xE0"), 7U);
    EXPECT_EQ(AnsiCaseSearcher("AAB").find("xaaaabaab"), 3U);
    EXPECT_EQ(AnsiCaseSearcher("ab").find("ba"), AnsiCaseSearcher::kNotFound);
    // Every place, none overlapping the one before.
    EXPECT_EQ(AnsiCaseSearcher("aa").findAll("aAaab Aa"), (std::vector<std::size_t>{0, 2, 6}));
    EXPECT_EQ(AnsiCaseSearcher("").findAll("aa"), std::vector<std::size_t>{});
}

class FindInDisplayTest : public ::testing::Test {
protected:
    FindInDisplayTest() {
        test::UserSpaceModel model;
        model.files = {{"CUSTMAST01", 2, 700, {"insert into custmast", "", "", ""}},
                       {"ORDERS0002", 3, 0, {}}};
        model.endOffset = 4000;
        model.endLength = 40;
        model.endPage = "TWEND00001Closing text of CustMast";
        hostLink.pages = test::BuildPages(model);
        display.address = "10.0.0.5";
        display.userSpaceName = "TWMODEL001";
        EXPECT_EQ(display.run().stage, DisplayOutcome::Stage::Completed);
    }

    test::FakeHostLink hostLink;
    // The ZC "Key order" label, lower case and accented; the others numbered.
    PageLabels labels{
        [](int id) { return id == 5709 ? "cl\xE9 d'ordre" : "L" + std::to_string(id); }};
    DisplayCommand display{hostLink, labels};
};

TEST_F(FindInDisplayTest, FindsRowsByLabelOrValueAndTheEndTwText) {
    using Rows = std::vector<std::uint32_t>;
    // By label: every ZC entry's "Key order" row, after the file's heading and
    // eight fields.
    const SearchMatches byLabel = FindInDisplay(display, "CL\xC9 D'ORDRE");
    EXPECT_EQ(byLabel.rows[static_cast<std::size_t>(PageList::ZC)], (Rows{9, 18, 28, 37, 46}));
    EXPECT_EQ(byLabel.total(), 5U);
    EXPECT_FALSE(byLabel.endTw);

    // By value: the first file's FicID and source file, its Insert statement
    // and the End_TW text; by label: the file's heading rows, which name it.
    const SearchMatches byValue = FindInDisplay(display, "cUSTmAST");
    EXPECT_EQ(byValue.rows[static_cast<std::size_t>(PageList::FC)], (Rows{0, 2, 8}));
    EXPECT_EQ(byValue.rows[static_cast<std::size_t>(PageList::ZC)], (Rows{0}));
    EXPECT_EQ(byValue.rows[static_cast<std::size_t>(PageList::SQL)], (Rows{0, 1}));
    EXPECT_EQ(byValue.count(PageList::CX) + byValue.count(PageList::GC), 0U);
    EXPECT_TRUE(byValue.endTw);
    EXPECT_EQ(byValue.total(), 7U);
    EXPECT_FALSE(byValue.stopped);

    EXPECT_EQ(FindInDisplay(display, "").total(), 0U);
}

TEST_F(FindInDisplayTest, AStoppedSearchSaysSo) {
    std::stop_source stop;
    stop.request_stop();
    const SearchMatches matches = FindInDisplay(display, "custmast", stop.get_token());
    EXPECT_TRUE(matches.stopped);
    EXPECT_EQ(matches.total(), 0U);
}

}  // namespace
}  // namespace twds
