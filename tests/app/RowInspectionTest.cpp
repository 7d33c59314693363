#include <string>

#include <gtest/gtest.h>

#include "FakeHostLink.h"
#include "MemoryRegistry.h"
#include "ModelPages.h"
#include "TestSupport.h"
#include "twds/DisplayCommand.h"
#include "twds/FileColumn.h"
#include "twds/RowInspection.h"

namespace twds {
namespace {

// Two files: the first with two ZC entries and two SQL statements; the
// second with a FicID of odd bytes and a ZC count the engine wrote in hex.
// An End_TW page closes the user space.
class RowInspectionTest : public ::testing::Test {
protected:
    RowInspectionTest() {
        link.pages = test::BuildPages(
            {{{"CUSTMAST01", 2, 300, {"INSERT INTO X", "UPDATE X", "", ""}}, {kOddFicID, 2, 0, {}}},
             100,
             5,
             "   HEADER0001Bye\x01"});
        link.pages[{'F', 2560}].replace(190, 10, "&H2       ");
        display.address = "10.0.0.5";
        display.userSpaceName = "TWMODEL001";
        EXPECT_EQ(display.run().stage, DisplayOutcome::Stage::Completed);
    }

    [[nodiscard]] std::string Inspect(PageList list, std::size_t row) const {
        return InspectRow(display, list, row, BuiltInMessages());
    }
    [[nodiscard]] std::string File(PageList list, std::size_t row) const {
        return FileColumnText(display.source(list, row));
    }
    [[nodiscard]] std::string Status(PageList list, std::size_t row) const {
        return DescribeRowFile(display.source(list, row), BuiltInMessages());
    }

    static constexpr const char* kOddFicID = "A\tB\x81\x7F\xE9ZZ01";
    test::FakeHostLink link;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand display{link, labels};
};

// The file column and the status line name the file, and the ZC entry on a
// ZC field row only; rows of no file name nothing.
TEST_F(RowInspectionTest, FileColumnAndStatusNameTheFileAndZcEntry) {
    EXPECT_EQ(File(PageList::ZC, 12), "CUSTMAST01 #2");
    EXPECT_EQ(Status(PageList::ZC, 12), "File CUSTMAST01, ZC entry 2");
    EXPECT_EQ(File(PageList::ZC, 0), "CUSTMAST01");  // the entry heading
    EXPECT_EQ(Status(PageList::ZC, 0), "File CUSTMAST01");
    EXPECT_EQ(File(PageList::ZC, 19), kOddFicID);  // the second file's heading
    EXPECT_EQ(File(PageList::SQL, 2), "CUSTMAST01");
    EXPECT_EQ(File(PageList::CX, 3), "");
    EXPECT_EQ(Status(PageList::GC, 0), "");
    EXPECT_FALSE(ListHasFileColumn(PageList::GC));
    EXPECT_TRUE(ListHasFileColumn(PageList::SQL));
}

// Where the bytes stand, and the dump with the odd bytes as "." beside it.
TEST_F(RowInspectionTest, InspectionLocatesTheBytesAndDumpsThem) {
    EXPECT_EQ(Inspect(PageList::FC, 76),
              "List                 FC\n"
              "Row                  77\n"
              "Field                L5603 (FicID)\n"
              "Page                 F 00002560\n"
              "Offset in page       2\n"
              "Width                10\n"
              "User-space position  2561\n"
              "File                 A<TAB>B<81><DEL>\xE9ZZ01\n"
              "Bytes                10\n"
              "0000  41 09 42 81 7F E9 5A 5A 30 31                    A.B..\xE9ZZ01\n");
    EXPECT_EQ(Inspect(PageList::ZC, 12),
              "List                 ZC\n"
              "Row                  13\n"
              "Field                L5703 (InputFieldLength)\n"
              "Page                 Z 00002048\n"
              "Offset in page       77\n"
              "Width                10\n"
              "User-space position  2124\n"
              "File                 CUSTMAST01\n"
              "ZC entry             2\n"
              "Bytes                10\n"
              "0000  20 20 20 20 20 20 20 20 20 32                             2\n");
    // A statement starts after its length; it is longer than a dump line.
    EXPECT_EQ(Inspect(PageList::SQL, 1),
              "List                 SQL\n"
              "Row                  2\n"
              "Field                L5751 'Insert'\n"
              "Page                 S 00002348\n"
              "Offset in page       11\n"
              "Width                13\n"
              "User-space position  2358\n"
              "File                 CUSTMAST01\n"
              "Bytes                13\n"
              "0000  49 4E 53 45 52 54 20 49 4E 54 4F 20 58           INSERT INTO X\n");
    EXPECT_EQ(Inspect(PageList::CX, 35), "Select a row of a list to inspect it.\n");
    EXPECT_EQ(InspectEndTw(display, BuiltInMessages()),
              "List   End_TW\n"
              "Page   E 00001124\n"
              "Bytes  4\n"
              "0000  42 79 65 01                                      Bye.\n");
    EXPECT_EQ(HexDump("0123456789ABCDEF\x90"),
              "0000  30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46  0123456789ABCDEF\n"
              "0010  90                                               .\n");
}

// The fields that steer the next requests say what the Display read from
// them, and whether the text was plain digits.
TEST_F(RowInspectionTest, NumberFieldsShowTheNumberRead) {
    const auto numberLine = [this](PageList list, std::size_t row) {
        const std::string text = Inspect(list, row);
        const std::size_t at = text.find("Number read");
        return at == std::string::npos ? std::string() : text.substr(at, text.find('\n', at) - at);
    };
    EXPECT_EQ(numberLine(PageList::GC, 15), "Number read          2");    // NbrOfFC
    EXPECT_EQ(numberLine(PageList::FC, 36), "Number read          300");  // OffsetOfInsert
    EXPECT_EQ(numberLine(PageList::FC, 108),
              "Number read          2 (read from a text that is not plain digits)");
    EXPECT_EQ(numberLine(PageList::FC, 33), "");  // ZcOffset steers nothing
}

// The switch is a REG_DWORD in the viewer's own key; anything else is off.
TEST(FileColumnSettingTest, RemembersTheSwitchAsADword) {
    test::MemoryRegistry registry;
    EXPECT_FALSE(LoadFileColumnShown(registry));
    ASSERT_TRUE(SaveFileColumnShown(registry, true).ok());
    EXPECT_TRUE(LoadFileColumnShown(registry));
    EXPECT_EQ(
        FetchRegistryValue(registry, Hive::CurrentUser,
                           "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\twDspUsrSpc", "FileColumn"),
        RegistryValue(std::int32_t{1}));
    ASSERT_TRUE(SaveFileColumnShown(registry, false).ok());
    EXPECT_FALSE(LoadFileColumnShown(registry));
    ASSERT_TRUE(StoreRegistryValue(registry, Hive::CurrentUser, kViewerKey, kFileColumnValue,
                                   std::string("1"), kRegSz)
                    .ok());
    EXPECT_FALSE(LoadFileColumnShown(registry));
    EXPECT_EQ(registry.openKeys(), 0U);
}

}  // namespace
}  // namespace twds
