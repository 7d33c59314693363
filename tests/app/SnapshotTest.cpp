#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "ResultAssertions.h"
#include "TempFolder.h"
#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/HostLinkFactory.h"
#include "twds/PageArena.h"
#include "twds/Snapshot.h"

namespace twds {
namespace {

using namespace std::string_literals;

std::string ExportOf(const DisplayCommand& display) {
    std::ostringstream out;
    EXPECT_TRUE(WriteExport(display, out));
    return out.str();
}

// A Display through the test host-link library, whose pages hold NULs, bytes
// above 127 and no trailing blanks, and which overwrites the name it is
// given: saved, reopened by its path and exported, it gives the same bytes,
// and the header gives back the name with its NUL.
TEST(Snapshot, LibraryDisplaySavedAndReopenedExportsTheSameBytes) {
    std::string error;
    HostLinkChoice choice;
    choice.library = TWDS_TEST_DLLPARAM;
    auto library = test::ValueOr(CreateHostLink(choice), error);
    ASSERT_NE(library, nullptr) << error;
    const PageLabels labels([](int id) { return "L" + std::to_string(id); });
    DisplayCommand original(*library, labels);
    original.address = " 10.1.2.3 ";
    original.userSpaceName = "abcdefghij";
    original.run();
    ASSERT_FALSE(original.list(PageList::CX).empty());
    EXPECT_EQ(original.userSpace, "RET\0EFGHIJ"s);
    // " 00001024C", odd bytes, the length, the name, dots, a NUL: nothing to trim.
    ASSERT_GE(original.fetchedPages().size(), 2u);
    EXPECT_EQ(original.fetchedPages()[1].kind, 'G');
    EXPECT_EQ(original.fetchedPages()[1].length, 10000);
    EXPECT_EQ(original.fetchedPages()[1].text.size(), 10000u);

    const test::TempFolder temp;
    const std::filesystem::path file = temp.path() / "library.twus";
    const SnapshotResult saved = SaveSnapshot(original, file, false, BuiltInMessages());
    EXPECT_EQ(saved.status, SnapshotResult::Status::Written);
    EXPECT_EQ(saved.message, "Snapshot saved: " + file.string() + " (" +
                                 std::to_string(original.fetchedPages().size()) + " pages).");

    auto opened = test::ValueOr(OpenSnapshot(file, BuiltInMessages()), error);
    ASSERT_TRUE(opened.hostLink) << error;
    EXPECT_EQ(opened.notice, "");
    EXPECT_EQ(opened.address, "10.1.2.3");
    EXPECT_EQ(opened.name, "RET\0EFGHIJ"s);
    EXPECT_EQ(opened.hostLink->snapshot().hostLink, "library "s + TWDS_TEST_DLLPARAM);
    DisplayCommand reopened(*opened.hostLink, labels);
    reopened.address = opened.address;
    reopened.userSpaceName = opened.name;
    reopened.run();
    EXPECT_EQ(reopened.outcome().stage, original.outcome().stage);
    EXPECT_EQ(reopened.outcome().source.kind, PageSource::Kind::Snapshot);
    EXPECT_EQ(reopened.fetchedPages().size(), original.fetchedPages().size());
    EXPECT_TRUE(ExportOf(reopened) == ExportOf(original));
}

// Pages are kept without the blanks that pad them, which a reopened
// snapshot pads back: blanks inside a page and the page's length stay.
TEST(Snapshot, PagesAreKeptWithoutTheirPaddingAndRefusedWhenNothingWasFetched) {
    const test::TempFolder temp;
    const std::filesystem::path store = temp.path() / "10.9.9.9";
    std::filesystem::create_directories(store);
    {
        std::ofstream out(store / "PADDED0001.twus", std::ios::binary);
        out << "TWUSRSPC PAGES 1\nC 00001024 14\nC  x      y   \nG 00001024 3\nG  \n";
    }
    std::string error;
    auto opened = test::ValueOr(OpenSnapshot(store / "PADDED0001.twus", BuiltInMessages()), error);
    ASSERT_TRUE(opened.hostLink) << error;
    const PageLabels labels([](int id) { return "L" + std::to_string(id); });
    DisplayCommand display(*opened.hostLink, labels);
    display.address = opened.address;
    display.userSpaceName = opened.name;
    display.run();
    ASSERT_EQ(display.fetchedPages().size(), 2u);
    EXPECT_EQ(display.fetchedPages()[0].text, "C  x      y");
    EXPECT_EQ(display.fetchedPages()[0].length, 2000);
    EXPECT_EQ(display.fetchedPages()[1].text, "G");
    EXPECT_TRUE(
        SnapshotBytes(display).ends_with("\nC 00001024 11\nC  x      y\nG 00001024 1\nG\n"));

    display.userSpaceName = "SHORT";
    display.run();
    const SnapshotResult nothing =
        SaveSnapshot(display, temp.path() / "none.twus", true, BuiltInMessages());
    EXPECT_EQ(nothing.status, SnapshotResult::Status::NothingToSave);
    EXPECT_EQ(nothing.message, "No page was fetched: there is nothing to save in a snapshot.");
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "none.twus"));
}

// Texts stay whole and in place across chunks (4 MiB each), a text larger
// than a chunk included, and after clear() the chunks are filled again.
TEST(Snapshot, PageArenaKeepsTextsAcrossChunks) {
    PageArena arena;
    for (int round = 0; round < 2; ++round) {
        const std::string a(3u << 20, static_cast<char>('a' + round));
        const std::string b(3u << 20, 'b');
        const std::string huge(5u << 20, 'h');
        const std::string_view first = arena.store(a);
        const std::string_view second = arena.store(b);
        const std::string_view third = arena.store(huge);
        const std::string_view small = arena.store("tail");
        EXPECT_TRUE(first == a && second == b && third == huge);
        EXPECT_EQ(small, "tail");
        EXPECT_NE(first.data(), a.data());
        EXPECT_EQ(arena.store(""), "");
        arena.clear();
    }
}

}  // namespace
}  // namespace twds
