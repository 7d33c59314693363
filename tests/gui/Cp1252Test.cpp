#include <string>

#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "twds/Cp1252.h"

namespace twds {
namespace {

// Control bytes are drawn as visible symbols, undefined bytes as the
// replacement character; the rest follow the code page both ways.
TEST(Cp1252, BytesBecomeCharactersAndBack) {
    EXPECT_EQ(Cp1252ToQString(std::string("\0\t\r\n\x1F\x7F"
                                          "A\x80\x9F\xE9\xFA\x81\x9D",
                                          13)),
              QString::fromUtf8("\u2400\u2409\u240D\u240A\u241F\u2421A\u20AC\u0178éú\uFFFD\uFFFD"));
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) {
            all.push_back(static_cast<char>(b));
        }
    }
    EXPECT_EQ(QStringToCp1252(Cp1252ToQString(all)), all);
    // What the code page cannot hold becomes one "?" a character.
    EXPECT_EQ(QStringToCp1252(QString::fromUtf8("a\u4E2Db x\U0001F600y \uFFFD Zürich €")),
              "a?b x?y ? Z\xFCrich \x80");
}

TEST(Cp1252, LineBreakVariantKeepsLinesAndShowsLoneCarriageReturns) {
    EXPECT_EQ(Cp1252ToQStringWithLineBreaks(std::string("a\r\nb\nc\rd\0", 9)),
              QString::fromUtf8("a\nb\nc\u240Dd\u2400"));
}

}  // namespace
}  // namespace twds
