#include "twds/DisplayCommand.h"

#include <gtest/gtest.h>

#include <array>

#include "FakeHostLink.h"
#include "MemoryRegistry.h"
#include "ModelPages.h"
#include "TestSupport.h"
#include "twds/AnsiText.h"
#include "twds/Catalogue.h"
#include "twds/PageLayout.h"
#include "twds/StatusMessages.h"
#include "twds/Trim.h"

namespace twds {
namespace {

using test::EchoLookup;
using test::FakeHostLink;
using test::FileModel;
using test::UserSpaceModel;
using Stage = DisplayOutcome::Stage;

constexpr std::size_t kCXRows = 35;
constexpr std::size_t kGCRows = 24 + 32 + 4;
constexpr std::size_t kFCRowsPerFile = 1 + 39 + 32 + 2;
constexpr std::size_t kSQLRowsPerFile = 5;
std::size_t ZCRows(int zcCount) {
    return 1 + 9 * static_cast<std::size_t>(zcCount);
}

// The files, then where the End_TW page is, how long it is and its text.
UserSpaceModel Model(std::vector<FileModel> files, std::int64_t endOffset = 0,
                     std::int64_t endLength = 0, std::string endPage = {}) {
    return {std::move(files), endOffset, endLength, std::move(endPage)};
}

FileModel File(std::string ficID, int zcCount, std::int32_t insertOffset) {
    return {std::move(ficID), zcCount, insertOffset, {"INSERT INTO X", "", "DELETE FROM X", ""}};
}

// Each list's row count, CX to SQL, to compare all five at once.
using Rows = std::array<std::size_t, 5>;

class DisplayCommandTest : public ::testing::Test {
protected:
    DisplayCommandTest() : labels([](int id) { return "L" + std::to_string(id); }) {}

    void Serve(const UserSpaceModel& model) { hostLink.pages = test::BuildPages(model); }

    const DisplayOutcome& Display(std::string address = "10.0.0.5",
                                  std::string name = "TWMODEL001") {
        display.address = std::move(address);
        display.userSpaceName = std::move(name);
        return display.run();
    }

    std::string Describe() const { return DescribeOutcome(display, EchoLookup); }

    [[nodiscard]] Rows RowCounts() const {
        return {display.list(PageList::CX).rowCount(), display.list(PageList::GC).rowCount(),
                display.list(PageList::FC).rowCount(), display.list(PageList::ZC).rowCount(),
                display.list(PageList::SQL).rowCount()};
    }

    FakeHostLink hostLink;
    PageLabels labels;
    DisplayCommand display{hostLink, labels};
};

TEST_F(DisplayCommandTest, WithoutFilesRequestsOnlyTheControlPages) {
    Serve({});
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(hostLink.requestSummary(), (std::vector<std::string>{"C 00001024", "G 00001024"}));
    EXPECT_EQ(RowCounts(), (Rows{kCXRows, kGCRows, 0, 0, 0}));
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});
    EXPECT_EQ(Describe(), "5308|TWMODEL001|0");
}

TEST_F(DisplayCommandTest, RequestsEveryFilesPagesInOrderWithTheirFixedLayout) {
    Serve(
        Model({File("CUSTMAST01", 2, 700), File("ORDERS0002", 0, 700), File("ITEMS00003", 5, 700)},
              100, 10, "0123456789"));

    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(hostLink.requestSummary(),
              (std::vector<std::string>{"C 00001024", "G 00001024", "E 00001124", "F 00002048",
                                        "Z 00002048", "S 00002748", "F 00002560", "Z 00002560",
                                        "S 00003260", "F 00003072", "Z 00003072", "S 00003772"}));
    for (const test::RecordedRequest& request : hostLink.requests) {
        EXPECT_TRUE(request.restBlank) << request.header;
        EXPECT_EQ(request.userSpace, "TWMODEL001");
    }
    EXPECT_EQ(hostLink.fullRequests.at('C'), " 00001024C" + std::string(1990, ' '));
    EXPECT_EQ(hostLink.fullRequests.at('G'), " 00001024G" + std::string(9990, ' '));
    EXPECT_EQ(hostLink.fullRequests.at('F'), " 00002048F" + std::string(9990, ' '));
    EXPECT_EQ(hostLink.fullRequests.at('Z'), " 00002048Z" + std::string(29990, ' '));
    EXPECT_EQ(RowCounts(), (Rows{kCXRows, kGCRows, 3 * kFCRowsPerFile,
                                 ZCRows(2) + ZCRows(0) + ZCRows(5), 3 * kSQLRowsPerFile}));
    // Each file's rows are keyed by its FicID and follow the previous file's.
    EXPECT_EQ(display.list(PageList::FC).text(0), "L5601CUSTMAST01");
    EXPECT_EQ(display.list(PageList::FC).text(kFCRowsPerFile), "L5601ORDERS0002");
    EXPECT_EQ(display.list(PageList::SQL).value(1), "INSERT INTO X");
    // An E page of exactly ten characters leaves nothing to show.
    EXPECT_EQ(display.endTwText, "");
    EXPECT_EQ(Describe(), "5308|TWMODEL001|3");
}

TEST_F(DisplayCommandTest, SqlPageOnlyForEntriesWithAnInsertOffset) {
    UserSpaceModel model =
        Model({File("FILEA00001", 1, 700), File("FILEB00002", 1, 0), File("FILEC00003", 1, 300)});
    Serve(model);
    Display();
    EXPECT_EQ(hostLink.requestSummary(),
              (std::vector<std::string>{"C 00001024", "G 00001024", "F 00002048", "Z 00002048",
                                        "S 00002748", "F 00002560", "Z 00002560", "F 00003072",
                                        "Z 00003072", "S 00003372"}));
    ASSERT_EQ(display.list(PageList::SQL).rowCount(), 2 * kSQLRowsPerFile);
    EXPECT_EQ(display.list(PageList::SQL).text(kSQLRowsPerFile), "L5601FILEC00003");

    // The first file without SQL: the SQL list starts with the third file.
    model.files[0].insertOffset = 0;
    Serve(model);
    Display();
    ASSERT_EQ(display.list(PageList::SQL).rowCount(), kSQLRowsPerFile);
    EXPECT_EQ(display.list(PageList::SQL).text(0), "L5601FILEC00003");
}

// A request refused at any step stops the Display there with the step named
// (and the host link's reason, or a stand-in when it gave none), keeps the
// rows shown so far and closes the connection once.
TEST_F(DisplayCommandTest, FailureAtEachRequestNamesTheStepAndKeepsEarlierRows) {
    Serve(Model({File("FILEA00001", 2, 700), File("FILEB00002", 3, 700)}, 100, 10,
                "0123456789the end"));
    hostLink.lastError = "";
    const struct {
        std::string request;  // the last one sent, which fails
        std::string described;
        Rows rows;
        int filesDisplayed;
    } cases[] = {
        {"C 00001024", "5302|C|1024|5309", {0, 0, 0, 0, 0}, 0},
        {"G 00001024", "5302|G|1024|5309", {kCXRows, 0, 0, 0, 0}, 0},
        {"E 00001124", "5302|E|1124|5309", {kCXRows, kGCRows, 0, 0, 0}, 0},
        {"F 00002048", "5303|F|2048|1|5309", {kCXRows, kGCRows, 0, 0, 0}, 0},
        {"Z 00002048", "5303|Z|2048|1|5309", {kCXRows, kGCRows, kFCRowsPerFile, 0, 0}, 0},
        {"S 00002748", "5303|S|2748|1|5309", {kCXRows, kGCRows, kFCRowsPerFile, ZCRows(2), 0}, 0},
        {"Z 00002560",
         "5303|Z|2560|2|5309",
         {kCXRows, kGCRows, 2 * kFCRowsPerFile, ZCRows(2), kSQLRowsPerFile},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.described);
        hostLink.failAt = std::pair{c.request[0], std::stoi(c.request.substr(2))};
        hostLink.closedHandles.clear();
        const DisplayOutcome& outcome = Display();
        EXPECT_EQ(outcome.stage, Stage::PageFailed);
        EXPECT_EQ(outcome.filesDisplayed, c.filesDisplayed);
        EXPECT_EQ(hostLink.requestSummary().back(), c.request);
        EXPECT_EQ(Describe(), c.described);
        EXPECT_EQ(RowCounts(), c.rows);
        EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});
    }
    hostLink.lastError = "CPF9801 object not found";
    Display();
    EXPECT_EQ(Describe(), "5303|Z|2560|2|CPF9801 object not found");
}

TEST_F(DisplayCommandTest, ConnectFailureRequestsNothingAndClosesTheLastHandle) {
    Serve({});
    display.connection = 17;
    hostLink.openSucceeds = false;

    EXPECT_EQ(Display("  10.1.1.1  ", "twmodel001").stage, Stage::ConnectFailed);
    EXPECT_EQ(hostLink.openedMachines, std::vector<std::string>{"10.1.1.1"});
    EXPECT_TRUE(hostLink.requests.empty());
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{17});
    EXPECT_EQ(display.connectedAddress, "10.1.1.1");
    EXPECT_EQ(display.address, "  10.1.1.1  ");
    EXPECT_EQ(display.userSpace, "");
    EXPECT_EQ(Describe(), "5301|10.1.1.1|host unreachable");

    hostLink.lastError = "";
    Display("10.1.1.1", "TWMODEL001");
    EXPECT_EQ(Describe(), "5301|10.1.1.1|5309");
}

TEST_F(DisplayCommandTest, BlankInputsOpenNothing) {
    Serve({});
    EXPECT_EQ(Display("10.0.0.5", "   ").stage, Stage::InputMissing);
    EXPECT_EQ(Display("   ", "TWMODEL001").stage, Stage::InputMissing);
    EXPECT_EQ(Display("", "").stage, Stage::InputMissing);
    EXPECT_TRUE(hostLink.openedMachines.empty());
    EXPECT_TRUE(hostLink.closedHandles.empty());
    EXPECT_EQ(Describe(), "5316");
}

// The name is sent trimmed and upper-cased, and shown so in its box; the host
// link may hand back another name, which the later requests then carry.
TEST_F(DisplayCommandTest, NameIsTrimmedUpperCasedCheckedAndTakenBackFromTheHostLink) {
    Serve({});
    hostLink.renameUserSpace = "RENAMED001";
    EXPECT_EQ(Display("10.0.0.5", "  twModel001 ").stage, Stage::Completed);
    ASSERT_EQ(hostLink.requests.size(), 2U);
    EXPECT_EQ(hostLink.requests[0].userSpace, "TWMODEL001");
    EXPECT_EQ(hostLink.requests[1].userSpace, "RENAMED001");
    EXPECT_EQ(display.userSpace, "RENAMED001");
    EXPECT_EQ(display.userSpaceName, "TWMODEL001");

    hostLink.requests.clear();
    hostLink.closedHandles.clear();
    EXPECT_EQ(Display("10.0.0.5", " twmodel1 ").stage, Stage::NameLength);
    EXPECT_EQ(display.userSpaceName, "TWMODEL1");
    EXPECT_EQ(hostLink.openedMachines.size(), 2U);
    EXPECT_TRUE(hostLink.requests.empty());
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});
    EXPECT_EQ(Describe(), "5304|TWMODEL1");
}

TEST_F(DisplayCommandTest, EndPageIsTrimmedBeforeItsFirstTenCharactersAreDropped) {
    UserSpaceModel model = Model({}, 50, 1);
    const auto endText = [&](std::string page) {
        model.endPage = std::move(page);
        Serve(model);
        Display();
        return display.endTwText;
    };
    EXPECT_EQ(endText(""), "");
    EXPECT_EQ(endText("     0123456789Hello\r\nworld  "), "Hello\r\nworld");
    EXPECT_EQ(endText("  012345678  "), "");
    EXPECT_EQ(endText("TWENDHEAD1 some text"), " some text");
    EXPECT_EQ(endText(std::string("\t123456789ABC")), "ABC");

    model.endOffset = 0;
    EXPECT_EQ(endText("0123456789never requested"), "");
    EXPECT_EQ(hostLink.requests.back().header, " 00001024G");
}

TEST_F(DisplayCommandTest, SecondDisplayShowsOnlyItsOwnRows) {
    Serve(Model({File("FILEA00001", 2, 700), File("FILEB00002", 3, 700)}, 10, 30,
                "HEADER0000the end"));
    Display();
    ASSERT_EQ(display.endTwText, "the end");

    Serve(Model({File("FILEC00003", 1, 0)}));
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(RowCounts(), (Rows{kCXRows, kGCRows, kFCRowsPerFile, ZCRows(1), 0}));
    EXPECT_EQ(display.endTwText, "");
    EXPECT_EQ(display.kept.endLength, 0);
}

TEST_F(DisplayCommandTest, LastErrorEndsAtANulFromTheSecondCharacterOn) {
    hostLink.openSucceeds = false;
    const auto lastError = [&](std::string text) {
        hostLink.lastError = std::move(text);
        Display();
        return display.lastError;
    };
    EXPECT_EQ(lastError(std::string("x\0yz", 4)), "x");
    // A NUL in the first character does not count: the whole buffer is kept.
    const std::string leadingNul = lastError(std::string("\0abc", 4));
    EXPECT_EQ(leadingNul, std::string("\0abc", 4) + std::string(1020, ' '));
    EXPECT_EQ(Describe(), "5301|10.0.0.5|abc");
    EXPECT_EQ(lastError("no terminator"), "no terminator" + std::string(1011, ' '));
    EXPECT_EQ(Describe(), "5301|10.0.0.5|no terminator");
    EXPECT_EQ(lastError(std::string("\0", 1)), std::string("\0", 1) + std::string(1023, ' '));
    EXPECT_EQ(Describe(), "5301|10.0.0.5|5309");
}

TEST_F(DisplayCommandTest, DecodeStopKeepsRowsAndCloses) {
    Serve(Model({File("SAMEFICID1", 1, 700), File("SAMEFICID1", 1, 700)}));

    const DisplayOutcome& outcome = Display();
    EXPECT_EQ(outcome.stage, Stage::DecodeStopped);
    EXPECT_EQ(outcome.pageKind, 'F');
    EXPECT_EQ(outcome.pagePosition, 2560);
    EXPECT_EQ(outcome.fileNumber, 2);
    ASSERT_TRUE(outcome.stop.has_value());
    EXPECT_EQ(outcome.stop->reason, DecodeStop::Reason::DuplicateKey);
    EXPECT_EQ(RowCounts(), (Rows{kCXRows, kGCRows, kFCRowsPerFile, ZCRows(1), kSQLRowsPerFile}));
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});
    EXPECT_EQ(hostLink.requests.back().header, " 00002560F");
    EXPECT_EQ(Describe(), "5305|L5601SAMEFICID1|FC|SAMEFICID1");
}

// Without a catalogue every CX label is empty, so the second row's key is the
// first one's: the stop names the list, and no file, since CX is the model's.
TEST_F(DisplayCommandTest, DuplicateKeyOnAModelPageNamesTheList) {
    Serve({});
    PageLabels emptyLabels([](int) { return std::string(); });
    DisplayCommand uncatalogued(hostLink, emptyLabels);
    uncatalogued.address = "10.0.0.5";
    uncatalogued.userSpaceName = "TWMODEL001";

    EXPECT_EQ(uncatalogued.run().stage, Stage::DecodeStopped);
    EXPECT_EQ(uncatalogued.list(PageList::CX).rowCount(), 1U);
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});
    EXPECT_EQ(DescribeOutcome(uncatalogued, EchoLookup), "5317||CX");
}

// A user space too large for memory stops like any other failure: the rows
// that fitted stay and the connection is closed.
TEST_F(DisplayCommandTest, RunningOutOfMemoryKeepsRowsAndCloses) {
    const test::PageMap pages = test::BuildPages(Model({File("CUSTMAST01", 1, 0)}));
    hostLink.source = [&](char kind, int32_t position) -> std::optional<std::string_view> {
        if (kind == 'Z') {
            throw std::bad_alloc();
        }
        return pages.at({kind, position});
    };

    EXPECT_EQ(Display().stage, Stage::OutOfMemory);
    EXPECT_EQ(RowCounts(), (Rows{kCXRows, kGCRows, kFCRowsPerFile, 0, 0}));
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});
    EXPECT_EQ(Describe(), "5319|std::bad_alloc");
}

// A request's position field is the rightmost eight digits of the position,
// however large the offset that led there.
TEST_F(DisplayCommandTest, PositionsPastEightDigitsKeepTheirRightmostEight) {
    Serve(Model({}, 99'998'975, 1, "0123456789last page"));
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(hostLink.requests.back().header, " 99999999E");

    Serve(Model({}, 99'999'000, 1));
    hostLink.pages[{'E', 24}] = "0123456789wrapped";
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(hostLink.requests.back().header, " 00000024E");
    EXPECT_EQ(display.endTwText, "wrapped");

    // 2048 + 2,147,483,647 = 2,147,485,695
    Serve(Model({File("FILEA00001", 0, 2'147'483'647)}));
    EXPECT_EQ(Display().stage, Stage::PageFailed);
    EXPECT_EQ(hostLink.requests.back().header, " 47485695S");
    EXPECT_EQ(Describe(), "5303|S|47485695|1|host unreachable");
    EXPECT_EQ(hostLink.closedHandles.size(), 3U);
}

// Counts and offsets as the GC page and the FC entries give them: a negative
// count or offset asks for nothing more, one past its type's range stops with
// the field named.
TEST_F(DisplayCommandTest, CountsAndOffsetsAtTheirLimits) {
    const auto gcPage = [](std::string_view field, std::int64_t value) {
        return test::FillFields(layout::kGC, {{"Page", "G"}, {field, test::Number(value)}});
    };
    Serve({});
    hostLink.pages[{'G', 1024}] = gcPage("NbrOfFC", -1);
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(hostLink.requests.back().header, " 00001024G");
    EXPECT_EQ(Describe(), "5308|TWMODEL001|0");

    hostLink.pages[{'G', 1024}] = gcPage("EndTwOffset", -50);
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(hostLink.requests.back().header, " 00001024G");

    hostLink.pages[{'G', 1024}] = gcPage("NbrOfFC", 99999);
    EXPECT_EQ(Display().stage, Stage::DecodeStopped);
    EXPECT_EQ(Describe(), "5318|L5514|GC|     99999");

    Serve(Model({File("FILEA00001", 2, -700)}));
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(hostLink.requests.back().header, " 00002048Z");
    EXPECT_TRUE(display.list(PageList::SQL).empty());

    Serve(Model({File("FILEA00001", -1, 0)}));
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(display.list(PageList::ZC).rowCount(), ZCRows(0));

    // Its ZC page is never asked for: no need to build 99999 entries.
    hostLink.pages[{'F', 2048}] = test::BuildFCPage({"FILEA00001", 99999, 0, {}});
    EXPECT_EQ(Display().stage, Stage::DecodeStopped);
    EXPECT_EQ(Describe(), "5306|L5634|FILEA00001|     99999");
}

// Large counts served as short pages: thousands of files of one ZC entry
// each, then one file of the most ZC entries a count can give, on an empty
// ZC page. Every row arrives; the rows of missing bytes are empty. (The file
// loop does the same for each file, so 4096 files stand for the 32767 a count
// allows and keep the test quick.)
TEST_F(DisplayCommandTest, LargeCountsOnShortPagesComplete) {
    constexpr int kFiles = 4096;
    constexpr int kMost = 32767;
    const auto gcPage = [](int files) {
        return test::FillFields(layout::kGC, {{"Page", "G"}, {"NbrOfFC", test::Number(files)}});
    };
    test::PageMap control = test::BuildPages({});
    control[{'G', 1024}] = gcPage(kFiles);
    std::string fcPage;
    hostLink.source = [&](char kind, int32_t position) -> std::optional<std::string_view> {
        if (kind == 'F') {
            const int n = (position - 2048) / 512 + 1;
            fcPage = test::FillFields(layout::kFC, {{"Page", "F"},
                                                    {"FicID", "F" + std::to_string(100000000 + n)},
                                                    {"NumberOfZC", "1"}});
            return fcPage;
        }
        if (kind == 'Z') {
            return std::string_view();
        }
        return control.at({kind, position});
    };
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(display.list(PageList::FC).rowCount(), kFiles * kFCRowsPerFile);
    EXPECT_EQ(display.list(PageList::ZC).rowCount(), kFiles * ZCRows(1));
    EXPECT_EQ(display.list(PageList::FC)
                  .value(display.list(PageList::FC).rowCount() - kFCRowsPerFile + 2),
              "F100004096");
    EXPECT_EQ(display.list(PageList::ZC).value(display.list(PageList::ZC).rowCount() - 1),
              "          ");

    hostLink.source = nullptr;
    hostLink.pages = test::BuildPages({});
    hostLink.pages[{'G', 1024}] = gcPage(1);
    hostLink.pages[{'F', 2048}] = test::BuildFCPage({"FILEA00001", kMost, 0, {}});
    hostLink.pages[{'Z', 2048}] = "";
    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(display.list(PageList::ZC).rowCount(), ZCRows(kMost));
}

// Counts that claim more rows than the viewer can hold stop the Display
// before the file that would overflow, with every earlier file shown.
TEST_F(DisplayCommandTest, RowBudgetStopsBeforeTheFileThatWouldExceedIt) {
    Serve(Model({File("FILEA00001", 3, 700), File("FILEB00002", 32767, 700)}));
    display.maxRows = 1000;

    EXPECT_EQ(Display().stage, Stage::TooManyRows);
    EXPECT_EQ(display.outcome().fileNumber, 2);
    EXPECT_EQ(RowCounts(),
              (Rows{kCXRows, kGCRows, 2 * kFCRowsPerFile, ZCRows(3), kSQLRowsPerFile}));
    EXPECT_EQ(hostLink.requests.back().header, " 00002560F");
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});
    EXPECT_EQ(Describe(), "5320|FILEB00002|32767|1000");
}

// The budget is a number of rows the lists may reach: one file that fills
// it exactly is shown whole.
TEST_F(DisplayCommandTest, RowBudgetAllowsExactlyItsRows) {
    Serve(Model({File("FILEA00001", 3, 700)}));
    display.maxRows = 202;  // 35 CX, 60 GC, 74 FC, 1 + 3 x 9 ZC and 5 SQL rows
    EXPECT_EQ(Display().stage, Stage::Completed);
    display.maxRows = 201;
    EXPECT_EQ(Display().stage, Stage::TooManyRows);
}

// Small files and then large ones: every row, in order, and a FicID that
// repeats an earlier one still stops the Display at its file.
TEST_F(DisplayCommandTest, ListsTakeLargerFilesAfterSmallOnesAndRefuseDuplicates) {
    constexpr int kFiles = 24;
    constexpr int kSmall = 16;
    UserSpaceModel model;
    for (int n = 1; n <= kFiles; ++n) {
        const std::string digits = std::to_string(n);
        model.files.push_back(
            File("FILE" + std::string(6 - digits.size(), '0') + digits, n <= kSmall ? 1 : 40, 700));
    }
    Serve(model);

    EXPECT_EQ(Display().stage, Stage::Completed);
    EXPECT_EQ(display.list(PageList::FC).rowCount(), kFiles * kFCRowsPerFile);
    EXPECT_EQ(display.list(PageList::ZC).rowCount(),
              kSmall * ZCRows(1) + (kFiles - kSmall) * ZCRows(40));
    EXPECT_EQ(display.list(PageList::SQL).rowCount(), kFiles * kSQLRowsPerFile);
    EXPECT_EQ(display.list(PageList::ZC).text(display.list(PageList::ZC).rowCount() - ZCRows(40)),
              "L5601FILE000024");

    model.files[19].ficID = model.files[2].ficID;
    Serve(model);
    EXPECT_EQ(Display().stage, Stage::DecodeStopped);
    EXPECT_EQ(display.outcome().fileNumber, 20);
    EXPECT_EQ(display.list(PageList::FC).rowCount(), 19 * kFCRowsPerFile);
    EXPECT_EQ(display.list(PageList::ZC).rowCount(), kSmall * ZCRows(1) + 3 * ZCRows(40));
}

// With either catalogue's labels (where "Input position" begins "Input
// position extended") and FicIDs that differ in their last digits only, the
// lists tell their rows' keys apart by their parts, with no table of whole
// keys: the one that takes memory and time per row on large models.
TEST(DisplayCommandCatalogueTest, ListsNeedNoKeyTable) {
    UserSpaceModel model;
    for (int n = 1; n <= 30; ++n) {
        const std::string digits = std::to_string(n);
        model.files.push_back(File("CUST" + std::string(6 - digits.size(), '0') + digits, 12, 700));
    }
    for (const char* language : {"EN", "FR"}) {
        test::MemoryRegistry registry;
        Catalogue catalogue(registry, std::filesystem::path(TWDS_BINARY_DIR) / "bin", nullptr);
        ASSERT_TRUE(catalogue.loadLanguage(language));
        const PageLabels labels(
            [&](int id) { return catalogue.table()[static_cast<std::size_t>(id)]; });
        FakeHostLink hostLink;
        hostLink.pages = test::BuildPages(model);
        DisplayCommand display(hostLink, labels);
        display.address = "10.0.0.5";
        display.userSpaceName = "TWMODEL001";
        ASSERT_EQ(display.run().stage, Stage::Completed) << language;
        EXPECT_EQ(display.list(PageList::ZC).rowCount(), 30 * ZCRows(12)) << language;
        for (const FieldList* list :
             {&display.list(PageList::CX), &display.list(PageList::GC), &display.list(PageList::FC),
              &display.list(PageList::ZC), &display.list(PageList::SQL)}) {
            EXPECT_FALSE(list->usesKeyTable()) << language << " " << list->text(0);
        }
    }
}

TEST(AnsiTextTest, UpperCaseFollowsWindows1252) {
    EXPECT_EQ(UpperCaseAnsi("abc xyz-09"), "ABC XYZ-09");
    EXPECT_EQ(UpperCaseAnsi("\xE0\xE9\xFE\xF7\xFF\x9A\x9C\x9E\xDF\xB5"),
              "\xC0\xC9\xDE\xF7\x9F\x8A\x8C\x8E\xDF\xB5");
    EXPECT_EQ(UpperCaseAnsi(std::string("a\0b", 3)), std::string("A\0B", 3));
    EXPECT_EQ(Trim("  a b \t "), "a b \t");
    EXPECT_EQ(Trim("    "), "");
    EXPECT_EQ(FormatPagePosition(2048), "00002048");
    EXPECT_EQ(FormatPagePosition(123456789), "23456789");
}

}  // namespace
}  // namespace twds
