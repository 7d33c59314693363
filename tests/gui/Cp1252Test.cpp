#include "twds/Cp1252.h"

#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <string>

namespace twds {
namespace {

TEST(Cp1252, ControlBytesAreDrawnAsVisibleSymbols) {
    const std::string bytes{'\0', '\t', '\r', '\n', '\x1F', '\x7F', 'A'};
    EXPECT_EQ(Cp1252ToQString(bytes), QString::fromUtf8("\u2400\u2409\u240D\u240A\u241F\u2421A"));
}

TEST(Cp1252, HighBytesFollowTheCodePageAndUndefinedOnesShowReplacement) {
    EXPECT_EQ(Cp1252ToQString("\x80"), QString(QChar(0x20AC)));  // euro sign
    EXPECT_EQ(Cp1252ToQString("\x9F"), QString(QChar(0x0178)));  // Y diaeresis
    EXPECT_EQ(Cp1252ToQString("\xE9\xB0"), QString::fromUtf8("é°"));
    EXPECT_EQ(Cp1252ToQString("\xFA"), QString::fromUtf8("ú"));  // the SQL NUL stand-in
    for (const char undefined : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'}) {
        EXPECT_EQ(Cp1252ToQString(std::string(1, undefined)), QString(QChar(0xFFFD)));
    }
}

TEST(Cp1252, EveryDefinedByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) {
            all.push_back(static_cast<char>(b));
        }
    }
    const QString shown = Cp1252ToQString(all);
    EXPECT_EQ(shown.size(), static_cast<qsizetype>(all.size()));
    EXPECT_EQ(QStringToCp1252(shown), all);
}

TEST(Cp1252, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(QStringToCp1252(QString::fromUtf8("a\u4E2Db")), "a?b");
    // A character outside the BMP is one character, so one "?".
    EXPECT_EQ(QStringToCp1252(QString::fromUtf8("x\U0001F600y")), "x?y");
    EXPECT_EQ(QStringToCp1252(QString(QChar(0xFFFD))), "?");
    EXPECT_EQ(QStringToCp1252(QString::fromUtf8("Zürich €")), "Z\xFCrich \x80");
}

TEST(Cp1252, LineBreakVariantKeepsLinesAndShowsLoneCarriageReturns) {
    EXPECT_EQ(Cp1252ToQStringWithLineBreaks("a\r\nb\nc\rd"), QString::fromUtf8("a\nb\nc\u240Dd"));
    EXPECT_EQ(Cp1252ToQStringWithLineBreaks(std::string("x\0y", 3)), QString::fromUtf8("x\u2400y"));
    EXPECT_EQ(Cp1252ToQStringWithLineBreaks("\r"), QString(QChar(0x240D)));
}

}  // namespace
}  // namespace twds
