#include "twds/RowCopyText.h"

#include <gtest/gtest.h>

#include <string>

#include "twds/ListLabels.h"

namespace twds {
namespace {

// Four rows: a plain one, one whose value holds control bytes and ends with
// blanks, an entry heading whose FicID holds an undefined byte, and an
// empty value.
FieldList FourRows() {
    FieldList list;
    EXPECT_TRUE(list.appendRow("Version", "", 0, "V01R02    "));
    EXPECT_TRUE(list.appendRow("Job name", "", 0, std::string("JOB\0\t1  ", 8)));
    EXPECT_TRUE(list.appendRow("File N\xB0 :FIC\x8D", "", 0, "====="));
    EXPECT_TRUE(list.appendRow("Empty", "", 0, ""));
    return list;
}

TEST(RowCopyText, SelectedRowsBecomeLabelTabValueLinesInListOrder) {
    const FieldList list = FourRows();
    // Out of order, overlapping, and reaching past the end.
    const RowCopyText copy = BuildRowCopyText(list, {{3, 9}, {1, 2}, {2, 2}});
    EXPECT_EQ(copy.text,
              "Job name\tJOB<NUL><TAB>1  \n"
              "File N\xB0 :FIC<8D>\t=====\n"
              "Empty\t\n");
    EXPECT_EQ(copy.rowsCopied, 3u);
    EXPECT_EQ(copy.rowsSelected, 3u);
    EXPECT_FALSE(copy.capped());

    EXPECT_EQ(BuildRowCopyText(list, {{0, 0}}).text, "Version\tV01R02    \n");
    EXPECT_EQ(BuildRowCopyText(list, {}).text, "");
    EXPECT_EQ(BuildRowCopyText(list, {{7, 8}}).rowsSelected, 0u);
}

TEST(RowCopyText, ACopyStopsAtTheRowLimitAndSaysHowManyWereSelected) {
    const FieldList list = FourRows();
    const RowCopyText copy = BuildRowCopyText(list, {{0, 0}, {2, 3}}, 2);
    EXPECT_EQ(copy.text, "Version\tV01R02    \nFile N\xB0 :FIC<8D>\t=====\n");
    EXPECT_EQ(copy.rowsCopied, 2u);
    EXPECT_EQ(copy.rowsSelected, 3u);
    EXPECT_TRUE(copy.capped());
}

TEST(ListLabels, EachListHoldsItsLayoutsLabelsAndItsEntryHeading) {
    const PageLabels labels([](int id) { return "L" + std::to_string(id); });
    const std::vector<std::string> cx = LabelsOfList(PageList::CX, labels);
    ASSERT_EQ(cx.size(), 35u);
    EXPECT_EQ(cx.front(), "L5403");
    EXPECT_EQ(cx.back(), "L5437");

    const std::vector<std::string> gc = LabelsOfList(PageList::GC, labels);
    ASSERT_EQ(gc.size(), 24u + 32u + 4u);
    EXPECT_EQ(gc[24], "L5801");
    EXPECT_EQ(gc.back(), "Extended Sequence Reprise");

    const std::vector<std::string> fc = LabelsOfList(PageList::FC, labels);
    ASSERT_EQ(fc.size(), 1u + 39u + 32u + 2u);
    EXPECT_EQ(fc.front(), "L5601NNNNNNNNNN");
    EXPECT_EQ(fc[1], "L5602");

    EXPECT_EQ(LabelsOfList(PageList::ZC, labels),
              (std::vector<std::string>{"L5601NNNNNNNNNN", "L5701", "L5702", "L5703", "L5704",
                                        "L5705", "L5706", "L5707", "L5708", "L5709"}));
    EXPECT_EQ(LabelsOfList(PageList::SQL, labels),
              (std::vector<std::string>{"L5601NNNNNNNNNN", "L5751 'Insert'", "L5751 'Update'",
                                        "L5751 'Delete'", "L5751 'ClrPfm'"}));
}

}  // namespace
}  // namespace twds
