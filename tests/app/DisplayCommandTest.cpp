#include <array>
#include <map>

#include <gtest/gtest.h>

#include "FakeHostLink.h"
#include "ModelPages.h"
#include "TestSupport.h"
#include "twds/AnsiText.h"
#include "twds/DisplayCommand.h"
#include "twds/PageLayout.h"
#include "twds/ProblemText.h"
#include "twds/StatusMessages.h"
#include "twds/Trim.h"

namespace twds {
namespace {

using test::FileModel;
using test::UserSpaceModel;
using Stage = DisplayOutcome::Stage;
using Requests = std::vector<std::string>;

// Rows of the CX list, the GC list, one file's FC and SQL rows, and a file's
// ZC rows by its number of entries.
constexpr std::size_t kCX = 35;
constexpr std::size_t kGC = 24 + 32 + 4;
constexpr std::size_t kFC = 1 + 39 + 32 + 2;
constexpr std::size_t kSQL = 5;
constexpr std::size_t ZC(std::size_t entries) {
    return 1 + 9 * entries;
}
using Rows = std::array<std::size_t, 5>;  // CX to SQL

FileModel File(std::string ficID, int zcCount, std::int32_t insertOffset) {
    return {std::move(ficID), zcCount, insertOffset, {"INSERT INTO X", "", "DELETE FROM X", ""}};
}

class DisplayCommandTest : public ::testing::Test {
protected:
    // The files, then where the End_TW page is, how long it is and its text.
    void Serve(const UserSpaceModel& model) { hostLink.pages = test::BuildPages(model); }

    Stage Display(std::string address = "10.0.0.5", std::string name = "TWMODEL001") {
        display.address = std::move(address);
        display.userSpaceName = std::move(name);
        return display.run().stage;
    }

    [[nodiscard]] std::string Describe() const {
        return DescribeOutcome(display, test::EchoLookup);
    }
    [[nodiscard]] std::string LastHeader() const { return hostLink.requests.back().header; }
    [[nodiscard]] Rows RowCounts() const {
        return {display.list(PageList::CX).rowCount(), display.list(PageList::GC).rowCount(),
                display.list(PageList::FC).rowCount(), display.list(PageList::ZC).rowCount(),
                display.list(PageList::SQL).rowCount()};
    }

    test::FakeHostLink hostLink;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand display{hostLink, labels};
};

// The request sequence, pinned once: control pages, the End_TW page, then per
// file its FC and ZC pages and, when it has an insert offset, its SQL page.
TEST_F(DisplayCommandTest, RequestsEveryFilesPagesInOrderWithTheirFixedLayout) {
    Serve({{File("CUSTMAST01", 2, 700), File("ORDERS0002", 0, 0), File("ITEMS00003", 5, 300)},
           100,
           10,
           "0123456789"});
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(hostLink.requestSummary(),
              (Requests{"C 00001024", "G 00001024", "E 00001124", "F 00002048", "Z 00002048",
                        "S 00002748", "F 00002560", "Z 00002560", "F 00003072", "Z 00003072",
                        "S 00003372"}));
    // Each kind's request: its header, then blanks to its fixed length.
    for (const auto& [kind, length] :
         {std::pair{'C', 2000}, {'G', 10000}, {'F', 10000}, {'Z', 30000}}) {
        const std::string& full = hostLink.fullRequests.at(kind);
        EXPECT_EQ(full, full.substr(0, 10) + std::string(length - 10, ' ')) << kind;
    }
    EXPECT_EQ(RowCounts(), (Rows{kCX, kGC, 3 * kFC, ZC(2) + ZC(0) + ZC(5), 2 * kSQL}));
    // Each file's rows are keyed by its FicID and follow the previous file's.
    EXPECT_EQ(display.list(PageList::FC).text(kFC), "L5601ORDERS0002");
    EXPECT_EQ(display.list(PageList::SQL).text(kSQL), "L5601ITEMS00003");
    EXPECT_EQ(display.list(PageList::SQL).value(1), "INSERT INTO X");
    EXPECT_EQ(Describe(), "5308|TWMODEL001|3");
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});

    // No files and no End_TW offset: the control pages only.
    hostLink.requests.clear();
    Serve({});
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(hostLink.requestSummary(), (Requests{"C 00001024", "G 00001024"}));
    EXPECT_EQ(Describe(), "5308|TWMODEL001|0");
}

// A request refused at any step stops the Display there with the step named
// (and the host link's reason, or a stand-in when it gave none), keeps the
// rows shown so far and closes the connection once.
TEST_F(DisplayCommandTest, FailureAtEachRequestNamesTheStepAndKeepsEarlierRows) {
    Serve({{File("FILEA00001", 2, 700), File("FILEB00002", 3, 700)}, 100, 10, "0123456789the end"});
    hostLink.lastError = "";
    const struct {
        std::string request;  // the last one sent, which fails
        std::string described;
        Rows rows;
    } cases[] = {
        {"C 00001024", "5302|C|1024|5309", {0, 0, 0, 0, 0}},
        {"G 00001024", "5302|G|1024|5309", {kCX, 0, 0, 0, 0}},
        {"E 00001124", "5302|E|1124|5309", {kCX, kGC, 0, 0, 0}},
        {"F 00002048", "5303|F|2048|1|5309", {kCX, kGC, 0, 0, 0}},
        {"Z 00002048", "5303|Z|2048|1|5309", {kCX, kGC, kFC, 0, 0}},
        {"S 00002748", "5303|S|2748|1|5309", {kCX, kGC, kFC, ZC(2), 0}},
        {"Z 00002560", "5303|Z|2560|2|5309", {kCX, kGC, 2 * kFC, ZC(2), kSQL}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.described);
        hostLink.failAt = std::pair{c.request[0], std::stoi(c.request.substr(2))};
        hostLink.closedHandles.clear();
        EXPECT_EQ(Display(), Stage::PageFailed);
        EXPECT_EQ(hostLink.requestSummary().back(), c.request);
        EXPECT_EQ(Describe(), c.described);
        EXPECT_EQ(RowCounts(), c.rows);
        EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{41});
    }
}

// Blank inputs open nothing. The name is sent trimmed and upper-cased; the
// host link may hand back another, which the later requests carry. A name
// not ten characters long stops before any request.
TEST_F(DisplayCommandTest, InputsAreTrimmedAndCheckedAndTheNameTakenBackFromTheHostLink) {
    Serve({});
    EXPECT_EQ(Display("10.0.0.5", "   "), Stage::InputMissing);
    EXPECT_EQ(Display("   ", "TWMODEL001"), Stage::InputMissing);
    EXPECT_TRUE(hostLink.openedMachines.empty());
    EXPECT_EQ(Describe(), "5316");

    hostLink.renameUserSpace = "RENAMED001";
    EXPECT_EQ(Display("10.0.0.5", "  twModel001 "), Stage::Completed);
    ASSERT_EQ(hostLink.requests.size(), 2U);
    EXPECT_EQ(hostLink.requests[0].userSpace + " " + hostLink.requests[1].userSpace,
              "TWMODEL001 RENAMED001");
    EXPECT_EQ(display.userSpace + " " + display.userSpaceName, "RENAMED001 TWMODEL001");

    hostLink.requests.clear();
    EXPECT_EQ(Display("10.0.0.5", " twmodel1 "), Stage::NameLength);
    EXPECT_TRUE(hostLink.requests.empty());
    EXPECT_EQ(Describe(), "5304|TWMODEL1");
}

// A failed connection closes the last handle and names the machine and the
// host link's last error, which ends at a NUL from its second character on
// (a NUL first leaves the whole buffer; a blank one, a stand-in).
TEST_F(DisplayCommandTest, ConnectFailureNamesTheMachineAndTheLastError) {
    display.connection = 17;
    hostLink.openSucceeds = false;
    EXPECT_EQ(Display("  10.1.1.1  ", "twmodel001"), Stage::ConnectFailed);
    EXPECT_EQ(hostLink.openedMachines, std::vector<std::string>{"10.1.1.1"});
    EXPECT_TRUE(hostLink.requests.empty());
    EXPECT_EQ(hostLink.closedHandles, std::vector<int32_t>{17});
    EXPECT_EQ(Describe(), "5301|10.1.1.1|host unreachable");

    hostLink.lastError = std::string("x\0yz", 4);
    Display();
    EXPECT_EQ(display.lastError, "x");
    hostLink.lastError = std::string("\0abc", 4);
    Display();
    EXPECT_EQ(display.lastError, std::string("\0abc", 4) + std::string(1020, ' '));
    EXPECT_EQ(Describe(), "5301|10.0.0.5|abc");
    hostLink.lastError = std::string(1, '\0');
    Display();
    EXPECT_EQ(Describe(), "5301|10.0.0.5|5309");
}

TEST_F(DisplayCommandTest, EndPageIsTrimmedBeforeItsFirstTenCharactersAreDropped) {
    UserSpaceModel model{{}, 50, 1, {}};
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
    EXPECT_EQ(endText("\t123456789ABC"), "ABC");
    // A second Display keeps none of the first's text.
    Serve({});
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(display.endTwText, "");
}

// A request's position field is the rightmost eight digits of the position,
// however large the offset that led there.
TEST_F(DisplayCommandTest, PositionsPastEightDigitsKeepTheirRightmostEight) {
    Serve({{}, 99'998'975, 1, "0123456789last page"});
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(LastHeader(), " 99999999E");

    // 2048 + 2,147,483,647 = 2,147,485,695
    Serve({{File("FILEA00001", 0, 2'147'483'647)}, 0, 0, {}});
    EXPECT_EQ(Display(), Stage::PageFailed);
    EXPECT_EQ(Describe(), "5303|S|47485695|1|host unreachable");
}

// Counts and offsets as the GC page and the FC entries give them: a negative
// count or offset asks for nothing more; one past its type's range is read as
// the nearest value in range. Two files with one FicID are both shown. Each
// anomaly is reported on its row (its --check line with the message's id and
// values).
TEST_F(DisplayCommandTest, CountsOffsetsAndRepeatedFicIDsAreShownAndReported) {
    const auto gcPage = [](std::string_view field, std::int64_t value) {
        std::map<std::string_view, std::string> values{
            {"Page", "G"}, {"EndTwOffset", test::Number(0)}, {"EndTwLength", test::Number(0)}};
        values[field] = test::Number(value);
        return test::FillFields(layout::kGC, values);
    };
    const auto lines = [this] {
        std::string all;
        for (const Problem& problem : display.problems()) {
            all += ProblemLine(display, problem, test::EchoLookup);
        }
        return all;
    };
    Serve({});
    hostLink.pages[{'G', 1024}] = gcPage("NbrOfFC", -1);
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(LastHeader(), " 00001024G");
    EXPECT_EQ(lines(), "warning\tGC\t\t16\tL5514\t5917|-1||\n");

    // "Nbr of FC" 40000 reads 32767: both files are shown, the third fails.
    Serve({{File("FILEA00001", 1, 700), File("FILEB00002", 1, 700)}, 0, 0, {}});
    hostLink.pages[{'G', 1024}] = gcPage("NbrOfFC", 40000);
    EXPECT_EQ(Display(), Stage::PageFailed);
    EXPECT_EQ(RowCounts(), (Rows{kCX, kGC, 2 * kFC, 2 * ZC(1), 2 * kSQL}));
    EXPECT_EQ(lines(),
              "error\tGC\t\t16\tL5514\t5908|     40000|16|32767\n"
              "error\tFC\t\t\t\t5901|F|00003072|host unreachable\n");

    Serve({{File("FILEA00001", -1, -5)}, 0, 0, {}});
    hostLink.pages[{'F', 2048}] = test::BuildFCPage({"FILEA00001", 99999, 0, {}});
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(display.kept.zcCount, 32767);
    EXPECT_EQ(lines(),
              "error\tFC\tFILEA00001\t35\tL5634\t5908|     99999|16|32767\n"
              "warning\tZC\tFILEA00001\t1\tL5601FILEA00001\t5911|32767|410|\n");
    // A ZC page holds 410 entries: 411 is one too many.
    Serve({{File("FILEA00001", 410, 0), File("FILEB00002", 411, 0)}, 0, 0, {}});
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(lines(), "warning\tZC\tFILEB00002\t3692\tL5601FILEB00002\t5911|411|410|\n");

    Serve({{File("FILEA00001", -1, -5)}, 0, 0, {}});
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(lines(),
              "warning\tFC\tFILEA00001\t35\tL5634\t5917|-1||\n"
              "warning\tFC\tFILEA00001\t37\tL5636\t5918|-5|S|\n");

    Serve({{File("SAMEFICID1", 1, 700), File("SAMEFICID1", 1, 700), File("", 1, 0)}, 0, 0, {}});
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(RowCounts(), (Rows{kCX, kGC, 3 * kFC, 3 * ZC(1), 2 * kSQL}));
    EXPECT_EQ(lines(),
              "error\tFC\tSAMEFICID1\t75\tL5601SAMEFICID1\t5905|SAMEFICID1|1|\n"
              "error\tFC\t          \t149\tL5601          \t5906|3||\n");
}

// A catalogue lacking two CX labels: every list complete, each gap named
// once. An End_TW page past the eight digits wraps, and END_TW length
// disagreeing with the page is noted.
TEST_F(DisplayCommandTest, MissingLabelsWrappedRequestsAndEndTwLengthAreReported) {
    const PageLabels lacking(
        [](int id) { return id == 5404 || id == 5405 ? std::string() : "L" + std::to_string(id); });
    DisplayCommand gaps(hostLink, lacking);
    Serve({{File("FILEA00001", 2, 700), File("FILEB00002", 1, 0)}, 100, 5, "0123456789ABCDEF"});
    gaps.address = "10.0.0.5";
    gaps.userSpaceName = "TWMODEL001";
    EXPECT_EQ(gaps.run().stage, Stage::Completed);
    EXPECT_EQ((Rows{gaps.list(PageList::CX).rowCount(), gaps.list(PageList::GC).rowCount(),
                    gaps.list(PageList::FC).rowCount(), gaps.list(PageList::ZC).rowCount(),
                    gaps.list(PageList::SQL).rowCount()}),
              (Rows{kCX, kGC, 2 * kFC, ZC(2) + ZC(1), kSQL}));
    std::string lines;
    for (const Problem& problem : gaps.problems()) {
        lines += ProblemLine(gaps, problem, test::EchoLookup);
    }
    EXPECT_EQ(lines,
              "error\tCX\t\t2\t\t5907|5404||\n"
              "error\tCX\t\t3\t\t5907|5405||\n"
              "note\tGC\t\t22\tL5520\t5914|5|16|\n");

    Serve({{}, 99'999'000, 10, "0123456789end"});
    EXPECT_EQ(Display(), Stage::PageFailed);
    EXPECT_EQ(LastHeader(), " 00000024E");
    ASSERT_GE(display.problems().size(), 1U);
    EXPECT_EQ(ProblemLine(display, display.problems().front(), test::EchoLookup),
              "warning\tGC\t\t21\tL5519\t5912|E|100000024|24\n");
}

// Thousands of files on short pages, the last of 32767 ZC entries: all rows,
// in order. A negative insert offset asks for no SQL page.
TEST_F(DisplayCommandTest, ThousandsOfFilesOnShortPagesComplete) {
    UserSpaceModel model;
    for (int n = 1; n <= 4096; ++n) {
        model.files.push_back(File("F" + std::to_string(100'000'000 + n), 0, -700));
    }
    model.files.back().zcCount = 32767;
    Serve(model);
    hostLink.pages[{'Z', 2048 + 512 * 4095}] = "";
    EXPECT_EQ(Display(), Stage::Completed);
    EXPECT_EQ(RowCounts(), (Rows{kCX, kGC, 4096 * kFC, 4095 * ZC(0) + ZC(32767), 0}));
    EXPECT_EQ(display.list(PageList::FC).text(4095 * kFC), "L5601F100004096");
}

// The budget is a number of rows the lists may reach: a file that fills it
// exactly is shown whole; one that would exceed it stops the Display before
// it, with every earlier file shown.
TEST_F(DisplayCommandTest, RowBudgetAllowsExactlyItsRows) {
    Serve({{File("FILEA00001", 3, 700)}, 0, 0, {}});
    display.maxRows = 202;  // 35 CX, 60 GC, 74 FC, 1 + 3 x 9 ZC and 5 SQL rows
    EXPECT_EQ(Display(), Stage::Completed);
    display.maxRows = 201;
    EXPECT_EQ(Display(), Stage::TooManyRows);

    Serve({{File("FILEA00001", 3, 700), File("FILEB00002", 32767, 700)}, 0, 0, {}});
    display.maxRows = 1000;
    EXPECT_EQ(Display(), Stage::TooManyRows);
    EXPECT_EQ(display.outcome().fileNumber, 2);
    EXPECT_EQ(RowCounts(), (Rows{kCX, kGC, 2 * kFC, ZC(3), kSQL}));
    EXPECT_EQ(LastHeader(), " 00002560F");
    EXPECT_EQ(Describe(), "5320|FILEB00002|32767|1000");
}

TEST(AnsiTextTest, UpperCaseFollowsWindows1252AndTrimKeepsInnerBlanks) {
    EXPECT_EQ(UpperCaseAnsi("abc xyz-09"), "ABC XYZ-09");
    EXPECT_EQ(UpperCaseAnsi("\xE0\xE9\xFE\xF7\xFF\x9A\x9C\x9E\xDF\xB5"),
              "\xC0\xC9\xDE\xF7\x9F\x8A\x8C\x8E\xDF\xB5");
    EXPECT_EQ(UpperCaseAnsi(std::string("a\0b", 3)), std::string("A\0B", 3));
    EXPECT_EQ(Trim("  a b \t "), "a b \t");
    EXPECT_EQ(Trim("    "), "");
}

}  // namespace
}  // namespace twds
