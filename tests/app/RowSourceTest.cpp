#include "twds/RowSource.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "FakeHostLink.h"
#include "ModelPages.h"
#include "twds/DisplayCommand.h"

namespace twds {
namespace {

using test::FileModel;
using test::UserSpaceModel;

// One line per source, to write expected sources down whole:
// origin kind request+offset=position w<width> field ficID n k [bytes].
std::string Line(const RowSource& source) {
    static constexpr const char* kOrigins[] = {"field", "statement", "heading", "unknown"};
    std::string line = kOrigins[static_cast<int>(source.origin)];
    line += ' ';
    line += source.kind == 0 ? '-' : source.kind;
    line += ' ' + std::to_string(source.requestPosition) + '+' + std::to_string(source.offset) +
            '=' + std::to_string(source.position()) + " w" + std::to_string(source.width) + ' ' +
            std::string(source.fieldName) + ' ' + std::string(source.ficID) + " n" +
            std::to_string(source.fileNumber) + " k" + std::to_string(source.zcEntry) + " [" +
            std::string(source.bytes) + ']';
    return line;
}

// Three files: the second has no ZC entries and no SQL page; the third's
// statements hold a NUL.
UserSpaceModel ThreeFiles() {
    UserSpaceModel model;
    model.files = {
        {"CUSTMAST01", 2, 700, {"INSERT INTO X", "", "DELETE FROM X", ""}},
        {"ORDERS0002", 0, 0, {}},
        {"ITEMS00003", 5, 300, {"INS", std::string("UP\0D", 4), "", "CLR"}},
    };
    return model;
}

class RowSourceTest : public ::testing::Test {
protected:
    RowSourceTest() : labels([](int id) { return "L" + std::to_string(id); }) {}

    void Display(const UserSpaceModel& model) {
        hostLink.pages = test::BuildPages(model);
        display.address = "10.0.0.5";
        display.userSpaceName = "TWMODEL001";
        ASSERT_EQ(display.run().stage, DisplayOutcome::Stage::Completed);
    }

    [[nodiscard]] std::vector<std::string> Lines(PageList which,
                                                 const std::vector<std::size_t>& rows) const {
        std::vector<std::string> lines;
        for (const std::size_t row : rows) {
            lines.push_back(std::to_string(row) + ": " + Line(display.source(which, row)));
        }
        return lines;
    }

    test::FakeHostLink hostLink;
    PageLabels labels;
    DisplayCommand display{hostLink, labels};
};

TEST_F(RowSourceTest, CxRowsAreTheFieldsOfThePageAt1024) {
    Display(ThreeFiles());
    EXPECT_EQ(
        Lines(PageList::CX, {0, 1, 10, 11, 34}),
        (std::vector<std::string>{
            "0: field C 1024+0=1024 w1 Page  n0 k0 [C]",
            "1: field C 1024+1=1025 w10 Version  n0 k0 [V01R02    ]",
            "10: field C 1024+61=1085 w30 TargetIpAddress  n0 k0 [" + std::string(30, ' ') + "]",
            "11: field C 1024+91=1115 w10 LocalName  n0 k0 [LOCALSYS  ]",
            "34: field C 1024+248=1272 w1 ComUnderStep2  n0 k0 [ ]",
        }));
    EXPECT_THROW((void)display.source(PageList::CX, 35), std::out_of_range);
}

// The readable block's rows continue the GC page's offsets, and the fields
// after it continue after the block's 302 bytes.
TEST_F(RowSourceTest, GcRowsIncludeTheReadableBlock) {
    Display(ThreeFiles());
    EXPECT_EQ(
        Lines(PageList::GC, {15, 24, 35, 55, 56, 59}),
        (std::vector<std::string>{
            "15: field G 1024+480=1504 w10 NbrOfFC  n0 k0 [         3]",
            "24: field G 1024+611=1635 w1 RecoveryType  n0 k0 [G]",
            "35: field G 1024+696=1720 w26 PostDateTime  n0 k0 [" + std::string(26, ' ') + "]",
            "55: field G 1024+903=1927 w10 Errors  n0 k0 [          ]",
            "56: field G 1024+913=1937 w10 MaxCountEntry  n0 k0 [       500]",
            "59: field G 1024+953=1977 w20 ExtendedSequenceReprise  n0 k0 [" +
                std::string(20, ' ') + "]",
        }));
}

TEST_F(RowSourceTest, FcRowsNameTheirFileAndItsEntryPosition) {
    Display(ThreeFiles());
    EXPECT_EQ(Lines(PageList::FC, {0, 2, 74, 108, 188, 210, 221}),
              (std::vector<std::string>{
                  "0: heading F 2048+0=2048 w0  CUSTMAST01 n1 k0 [=================]",
                  "2: field F 2048+1=2049 w10 FicID CUSTMAST01 n1 k0 [CUSTMAST01]",
                  "74: heading F 2560+0=2560 w0  ORDERS0002 n2 k0 [=================]",
                  "108: field F 2560+190=2750 w10 NumberOfZC ORDERS0002 n2 k0 [         0]",
                  "188: field F 3072+250=3322 w1 RecoveryType ITEMS00003 n3 k0 [R]",
                  "210: field F 3072+452=3524 w10 Read ITEMS00003 n3 k0 [        12]",
                  "221: field F 3072+572=3644 w20 ExtendedSequenceReprise ITEMS00003 n3 k0 [" +
                      std::string(20, ' ') + "]",
              }));
}

TEST_F(RowSourceTest, ZcRowsNameTheirEntry) {
    Display(ThreeFiles());
    EXPECT_EQ(Lines(PageList::ZC, {0, 12, 19, 20, 52, 65}),
              (std::vector<std::string>{
                  "0: heading Z 2048+0=2048 w0  CUSTMAST01 n1 k0 [=================]",
                  "12: field Z 2048+76=2124 w10 InputFieldLength CUSTMAST01 n1 k2 [         2]",
                  "19: heading Z 2560+0=2560 w0  ORDERS0002 n2 k0 [=================]",
                  "20: heading Z 3072+0=3072 w0  ITEMS00003 n3 k0 [=================]",
                  "52: field Z 3072+242=3314 w10 InputPosition ITEMS00003 n3 k4 [          ]",
                  "65: field Z 3072+355=3427 w10 KeyOrder ITEMS00003 n3 k5 [         2]",
              }));

    // The 30000-byte page holds 410 whole entries: entry 411 is cut, 412 has
    // its place past the end and no bytes.
    UserSpaceModel large;
    large.files = {{"BIGFILE001", 412, 0, {}}};
    Display(large);
    EXPECT_EQ(Lines(PageList::ZC, {1 + 9 * 410 + 8, 1 + 9 * 411 + 8}),
              (std::vector<std::string>{
                  "3699: field Z 2048+29993=32041 w10 KeyOrder BIGFILE001 n1 k411 [       ]",
                  "3708: field Z 2048+30066=32114 w10 KeyOrder BIGFILE001 n1 k412 []",
              }));
}

// A statement's offset follows the lengths before it; the second file has no
// SQL page, so the list's second group is the third file's.
TEST_F(RowSourceTest, SqlRowsFollowTheStatementLengths) {
    Display(ThreeFiles());
    EXPECT_EQ(Lines(PageList::SQL, {0, 1, 2, 3, 4, 5, 7, 9}),
              (std::vector<std::string>{
                  "0: heading S 2748+0=2748 w0  CUSTMAST01 n1 k0 [=================]",
                  "1: statement S 2748+10=2758 w13  CUSTMAST01 n1 k0 [INSERT INTO X]",
                  "2: statement S 2748+33=2781 w0  CUSTMAST01 n1 k0 []",
                  "3: statement S 2748+43=2791 w13  CUSTMAST01 n1 k0 [DELETE FROM X]",
                  "4: statement S 2748+66=2814 w0  CUSTMAST01 n1 k0 []",
                  "5: heading S 3372+0=3372 w0  ITEMS00003 n3 k0 [=================]",
                  "7: statement S 3372+23=3395 w4  ITEMS00003 n3 k0 [UP\xFA"
                  "D]",
                  "9: statement S 3372+47=3419 w3  ITEMS00003 n3 k0 [CLR]",
              }));
}

// A new Display forgets the previous one's pages; rows that no Display added
// have no page.
TEST_F(RowSourceTest, SourcesFollowTheLastDisplayOnly) {
    Display(ThreeFiles());
    UserSpaceModel one;
    one.files = {{"SOLOFILE01", 1, 0, {}}};
    Display(one);
    EXPECT_EQ(Lines(PageList::FC, {2}),
              (std::vector<std::string>{
                  "2: field F 2048+1=2049 w10 FicID SOLOFILE01 n1 k0 [SOLOFILE01]"}));
    EXPECT_THROW((void)display.source(PageList::SQL, 0), std::out_of_range);

    display.clearAll();
    ASSERT_TRUE(display.list(PageList::CX).appendRow("Own row", "", 0, "own"));
    EXPECT_EQ(Lines(PageList::CX, {0}),
              (std::vector<std::string>{"0: unknown - 0+0=0 w0   n0 k0 [own]"}));
}

}  // namespace
}  // namespace twds
