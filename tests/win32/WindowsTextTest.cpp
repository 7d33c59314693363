#include <string>

#include <gtest/gtest.h>

#include "AnsiWide.h"
#include "ByteRunDraw.h"

namespace twds::win32 {
namespace {

using namespace std::string_literals;

// The catalogue's file types become the common dialogs' NUL-separated
// pairs, "*" every file.
TEST(DialogFilter, CatalogueTypesBecomeNamePatternPairs) {
    EXPECT_EQ(DialogFilter(L"Exports (*.usrspc);;All files (*)"),
              L"Exports (*.usrspc)\0*.usrspc\0All files (*)\0*.*\0\0"s);
    EXPECT_EQ(DialogFilter(L"Texts (*.txt *.log)"), L"Texts (*.txt *.log)\0*.txt;*.log\0\0"s);
    // An entry without patterns is left out rather than given none.
    EXPECT_EQ(DialogFilter(L"Odd;;Snapshots (*.twus)"), L"Snapshots (*.twus)\0*.twus\0\0"s);
}

// What the edit boxes show of odd bytes: names in angle brackets, a value's
// trailing blanks as middle dots, the End_TW text's line breaks as CR LF.
TEST(EditBoxText, MarksOddBytesAndKeepsLineBreaksWhereAsked) {
    EXPECT_EQ(EditBoxText("A\0B\x81 "s, TrailingBlanks::Marked, LineBreaks::Marked),
              L"A<NUL>B<81>\u00B7");
    EXPECT_EQ(EditBoxText("A\r\nB\nC\rD "s, TrailingBlanks::AsText, LineBreaks::Kept),
              L"A\r\nB\r\nC<CR>D ");
    EXPECT_EQ(EditBoxText("A\r\nB"s, TrailingBlanks::AsText, LineBreaks::Marked), L"A<CR><LF>B");
    // Letters of the code page stay themselves (é, the euro sign).
    EXPECT_EQ(EditBoxText("\xE9\x80"s, TrailingBlanks::Marked, LineBreaks::Marked),
              L"\u00E9\u20AC");
}

}  // namespace
}  // namespace twds::win32
