#include <string>

#include <gtest/gtest.h>

#include "twds/Ascii.h"
#include "twds/Result.h"

namespace twds {
namespace {

using namespace std::string_literals;

// The bytes either side of each range, and Windows-1252 letters, which are
// not ASCII and must not fold whatever the process locale says.
TEST(Ascii, DigitsAndCaseStopAtTheAsciiRanges) {
    for (const char c : "/:@G`g\xc0\xe9 "s) {
        EXPECT_EQ(AsciiHexDigitValue(c), -1) << static_cast<int>(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(AsciiHexDigitValue('0') + AsciiHexDigitValue('9'), 9);
    EXPECT_EQ(AsciiHexDigitValue('a'), 10);
    EXPECT_EQ(AsciiHexDigitValue('F'), 15);
    EXPECT_EQ(AsciiUpper("az{`@\xe9\xff"s), "AZ{`@\xe9\xff");
    EXPECT_TRUE(EqualIgnoringAsciiCase("Software\\Caf\xe9", "SOFTWARE\\CAF\xe9"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("Caf\xe9", "CAF\xc9")) << "\xe9 is not ASCII";
    EXPECT_FALSE(EqualIgnoringAsciiCase("ab", "abc"));
    EXPECT_TRUE(StartsWithIgnoringAsciiCase("HEX(2):00", "hex("));
    EXPECT_FALSE(StartsWithIgnoringAsciiCase("he", "hex"));
    EXPECT_TRUE(IsAsciiLetter('z') && IsAsciiLetter('A') && !IsAsciiLetter('[') &&
                !IsAsciiLetter('\xe9'));
}

// A text result and a failure's message are both strings: which one a
// Result holds must not depend on the text.
TEST(Result, TellsAValueFromAFailureOfTheSameType) {
    const Result<std::string> empty = std::string();
    EXPECT_TRUE(empty.ok());
    const Result<std::string> failed = Failure{"Cannot read x"};
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), "Cannot read x");
    const Status refused = Failure{""};
    EXPECT_FALSE(refused.ok()) << "an empty message is still a failure";
}

}  // namespace
}  // namespace twds
