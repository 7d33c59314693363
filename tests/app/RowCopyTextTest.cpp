#include <string>

#include <gtest/gtest.h>

#include "twds/ListLabels.h"
#include "twds/RowCopyText.h"

namespace twds {
namespace {

// Rows out of order, overlapping and past the end come out once each, in
// list order, with marked bytes named; a copy stops at the row limit and
// says how many were selected.
TEST(RowCopyText, SelectedRowsBecomeLabelTabValueLinesInListOrder) {
    FieldList list;
    ASSERT_TRUE(list.appendRow("Version", "", 0, "V01R02    "));
    ASSERT_TRUE(list.appendRow("Job name", "", 0, std::string("JOB\0\t1  ", 8)));
    ASSERT_TRUE(list.appendRow("File N\xB0 :FIC\x8D", "", 0, "====="));
    ASSERT_TRUE(list.appendRow("Empty", "", 0, ""));
    const RowCopyText copy = BuildRowCopyText(list, {{3, 9}, {1, 2}, {2, 2}});
    EXPECT_EQ(copy.text, "Job name\tJOB<NUL><TAB>1  \nFile N\xB0 :FIC<8D>\t=====\nEmpty\t\n");
    EXPECT_EQ(copy.rowsCopied, 3u);
    EXPECT_FALSE(copy.capped());
    EXPECT_EQ(BuildRowCopyText(list, {{7, 8}}).rowsSelected, 0u);

    const RowCopyText capped = BuildRowCopyText(list, {{0, 0}, {2, 3}}, 2);
    EXPECT_EQ(capped.text, "Version\tV01R02    \nFile N\xB0 :FIC<8D>\t=====\n");
    EXPECT_EQ(capped.rowsCopied, 2u);
    EXPECT_EQ(capped.rowsSelected, 3u);
    EXPECT_TRUE(capped.capped());
}

TEST(ListLabels, EachListHoldsItsLayoutsLabelsAndItsEntryHeading) {
    const PageLabels labels([](int id) { return "L" + std::to_string(id); });
    const auto ends = [&](PageList list) {
        const std::vector<std::string> all = LabelsOfList(list, labels);
        return std::to_string(all.size()) + " " + all.front() + " " + all[1] + " " + all.back();
    };
    EXPECT_EQ(ends(PageList::CX), "35 L5403 L5404 L5437");
    EXPECT_EQ(ends(PageList::GC), "60 L5501 L5502 Extended Sequence Reprise");
    EXPECT_EQ(ends(PageList::FC), "74 L5601NNNNNNNNNN L5602 Extended Sequence Reprise");
    EXPECT_EQ(ends(PageList::ZC), "10 L5601NNNNNNNNNN L5701 L5709");
    EXPECT_EQ(LabelsOfList(PageList::SQL, labels),
              (std::vector<std::string>{"L5601NNNNNNNNNN", "L5751 'Insert'", "L5751 'Update'",
                                        "L5751 'Delete'", "L5751 'ClrPfm'"}));
}

}  // namespace
}  // namespace twds
