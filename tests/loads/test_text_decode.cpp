// Reading text from other programs: UTF-8 when the whole text is valid
// UTF-8, else Windows-1252 byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "loads/text_decode.h"

using namespace px;

TEST(TextDecode, Utf8WhenValidAsAWholeElseWindows1252) {
    struct Case {
        std::string bytes;
        bool valid;
        std::string text;  // UTF-8
    };
    const Case cases[] = {
        {"P,Mx,My\n1,2,3\n", true, "P,Mx,My\n1,2,3\n"},
        {"Caf\xC3\xA9,\xC2\xB0", true, "Caf\xC3\xA9,\xC2\xB0"},
        {"\xEF\xBB\xBF" "Caf\xC3\xA9", true, "\xEF\xBB\xBF" "Caf\xC3\xA9"},  // the mark is kept
        {"\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},                     // four bytes
        {"Caf\xE9", false, "Caf\xC3\xA9"},                                  // e acute
        {"D\xB0", false, "D\xC2\xB0"},                                      // degree sign
        {"\x80" "5", false, "\xE2\x82\xAC" "5"},                            // euro sign
        {"\x81\x9F", false, "\xC2\x81\xC5\xB8"},                            // undefined byte kept
        {"\xC3\xA9 \xE9", false, "\xC3\x83\xC2\xA9 \xC3\xA9"},              // mixed: all single bytes
        {"\xC0\xAF", false, "\xC3\x80\xC2\xAF"},                            // overlong form
        {"\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},            // surrogate
        {"ab\xE2\x82", false, "ab\xC3\xA2\xE2\x80\x9A"},                    // cut short at the end
        {"\xF4\x8F\xBF\xBF", true, "\xF4\x8F\xBF\xBF"},                     // U+10FFFF, the last
        {"\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // past U+10FFFF
        {"\xF5\x80\x80\x80", false, "\xC3\xB5\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"},
        {"\xF7\xBF\xBF\xBF", false, "\xC3\xB7\xC2\xBF\xC2\xBF\xC2\xBF"},
        {"Story,Col,Case,Loc\xB0,P", false, "Story,Col,Case,Loc\xC2\xB0,P"},  // after whole words of ASCII
        {"Story,Col,Case,Loc\xC2\xB0,P", true, "Story,Col,Case,Loc\xC2\xB0,P"},
        {"\xEF\xBB\xBF" "Caf\xE9", false, "Caf\xC3\xA9"},  // a mark, not text: dropped
        {"", true, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
        std::string storage;
        const std::string_view text = DecodeFileText(c.bytes, storage);
        EXPECT_EQ(text, c.text) << c.bytes;
        EXPECT_TRUE(IsValidUtf8(text)) << c.bytes;
    }
}

// Values in messages: bad bytes escaped, long values cut, good text kept.
TEST(TextDecode, ShownValueEscapesAndCuts) {
    const std::string sixty(60, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"22O0", "22O0"},
        {std::string("22\0", 3), "22\\x00"},
        {std::string("Na\0me", 5), "Na\\x00me"},
        {"a\tb\x7F", "a\\x09b\\x7F"},
        {"St\xC3\xBCtze \xE6\x9F\xB1", "St\xC3\xBCtze \xE6\x9F\xB1"},  // UTF-8 text kept whole
        {"\xFF\xFEN", "\\xFF\\xFEN"},                                  // no UTF-8 sequence
        {"\xC2\x81x", "\\xC2\\x81x"},                                  // a C1 control
        {"ab\xE2\x82", "ab\\xE2\\x82"},                                // a sequence cut short
        {sixty, sixty},
        {sixty + "b", sixty + "..."},
        {std::string(59, 'a') + "\xE6\x9F\xB1\xE6\x9F\xB1", std::string(59, 'a') + "\xE6\x9F\xB1..."},
        {std::string(10 << 20, '9'), std::string(60, '9') + "..."},
    };
    for (const auto& [value, shown] : cases) EXPECT_EQ(ShownValue(value), shown) << value.substr(0, 80);
    EXPECT_EQ(WithShownValue(std::string("'2\0' is bad", 11), std::string("2\0", 2)), "'2\\x00' is bad");
    EXPECT_EQ(WithShownValue("'x' is bad", ""), "'x' is bad");
    EXPECT_TRUE(HasUtf16ByteOrderMark("\xFF\xFEN\0"));
    EXPECT_TRUE(HasUtf16ByteOrderMark("\xFE\xFF\0N"));
    EXPECT_FALSE(HasUtf16ByteOrderMark("\xEF\xBB\xBFN"));
    EXPECT_FALSE(HasUtf16ByteOrderMark("\xFF"));
}
