#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeHostLink.h"
#include "ModelPages.h"
#include "twds/DisplayCommand.h"
#include "twds/RowSource.h"

namespace twds {
namespace {

// One line per source, to write expected sources down whole:
// origin kind request+offset=position w<width> field ficID n k [bytes].
std::string Line(const RowSource& source) {
    static constexpr const char* kOrigins[] = {"field", "statement", "heading", "unknown"};
    return std::string(kOrigins[static_cast<int>(source.origin)]) + ' ' +
           (source.kind == 0 ? '-' : source.kind) + ' ' + std::to_string(source.requestPosition) +
           '+' + std::to_string(source.offset) + '=' + std::to_string(source.position()) + " w" +
           std::to_string(source.width) + ' ' + std::string(source.fieldName) + ' ' +
           std::string(source.ficID) + " n" + std::to_string(source.fileNumber) + " k" +
           std::to_string(source.zcEntry) + " [" + std::string(source.bytes) + ']';
}

class RowSourceTest : public ::testing::Test {
protected:
    void Display(std::vector<test::FileModel> files) {
        hostLink.pages = test::BuildPages({std::move(files), 0, 0, {}});
        display.address = "10.0.0.5";
        display.userSpaceName = "TWMODEL001";
        ASSERT_EQ(display.run().stage, DisplayOutcome::Stage::Completed);
    }

    [[nodiscard]] std::string At(PageList which, std::size_t row) const {
        return Line(display.source(which, row));
    }

    test::FakeHostLink hostLink;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand display{hostLink, labels};
};

// Three files: the second has no ZC entries and no SQL page (so the SQL
// list's second group is the third file's); the third's statements hold a
// NUL. The readable block's rows continue the GC page's offsets, and the
// fields after it continue after the block's 302 bytes; a statement's offset
// follows the lengths before it.
TEST_F(RowSourceTest, EveryRowNamesItsPageOffsetFieldAndFile) {
    Display({{"CUSTMAST01", 2, 700, {"INSERT INTO X", "", "DELETE FROM X", ""}},
             {"ORDERS0002", 0, 0, {}},
             {"ITEMS00003", 5, 300, {"INS", std::string("UP\0D", 4), "", "CLR"}}});
    const std::string blanks20(20, ' ');
    const struct {
        PageList list;
        std::size_t row;
        std::string line;
    } cases[] = {
        {PageList::CX, 1, "field C 1024+1=1025 w10 Version  n0 k0 [V01R02    ]"},
        {PageList::GC, 59,
         "field G 1024+953=1977 w20 ExtendedSequenceReprise  n0 k0 [" + blanks20 + "]"},
        {PageList::FC, 74, "heading F 2560+0=2560 w0  ORDERS0002 n2 k0 [=================]"},
        {PageList::FC, 221,
         "field F 3072+572=3644 w20 ExtendedSequenceReprise ITEMS00003 n3 k0 [" + blanks20 + "]"},
        {PageList::ZC, 12,
         "field Z 2048+76=2124 w10 InputFieldLength CUSTMAST01 n1 k2 [         2]"},
        {PageList::SQL, 5, "heading S 3372+0=3372 w0  ITEMS00003 n3 k0 [=================]"},
        {PageList::SQL, 7,
         "statement S 3372+23=3395 w4  ITEMS00003 n3 k0 [UP\xFA"
         "D]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(At(c.list, c.row), c.line) << InfoOf(c.list).caption << " row " << c.row;
    }
    EXPECT_THROW((void)display.source(PageList::CX, 35), std::out_of_range);
}

// The 30000-byte ZC page holds 410 whole entries: entry 411 is cut, 412 has
// its place past the end and no bytes.
TEST_F(RowSourceTest, ZcEntriesPastTheEndOfTheirPageHaveNoBytes) {
    Display({{"BIGFILE001", 412, 0, {}}});
    EXPECT_EQ(At(PageList::ZC, 3699),
              "field Z 2048+29993=32041 w10 KeyOrder BIGFILE001 n1 k411 [       ]");
    EXPECT_EQ(At(PageList::ZC, 3708),
              "field Z 2048+30066=32114 w10 KeyOrder BIGFILE001 n1 k412 []");
}

}  // namespace
}  // namespace twds
