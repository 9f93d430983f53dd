#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/io/files.h"
#include "core/text/datetime.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {
namespace {

TEST(TextNormaliseCode, LeadingBlanksBecomeZerosAndShortCodesArePadded) {
    EXPECT_EQ(NormaliseCode(" 7", 2), "07");
    EXPECT_EQ(NormaliseCode("7", 3), "007");
    EXPECT_EQ(NormaliseCode("  ", 2), "00");
    EXPECT_EQ(NormaliseCode("A", 2), "0A");
    EXPECT_EQ(NormaliseCode("5", 1), "5");
    EXPECT_EQ(NormaliseCode("", 3), "000");
    // Only leading blanks change; a longer text is never cut.
    EXPECT_EQ(NormaliseCode(" 7 ", 3), "07 ");
    EXPECT_EQ(NormaliseCode("123", 2), "123");
    EXPECT_EQ(NormaliseCode(" 12", 2), "012");
}

TEST(TextIsBlank, OnlySpacesCount) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("   "));
    EXPECT_FALSE(IsBlank(" x "));
    EXPECT_FALSE(IsBlank("\t"));
    EXPECT_FALSE(IsBlank("0"));
}

TEST(TextUpperCase1250, PolishAndOtherLettersOfTheCodePage) {
    // Lower case / upper case pairs of Windows-1250 letters outside ASCII.
    const std::vector<std::pair<unsigned char, unsigned char>> pairs = {
        {0xB9, 0xA5},  // a ogonek
        {0xE6, 0xC6},  // c acute
        {0xEA, 0xCA},  // e ogonek
        {0xB3, 0xA3},  // l stroke
        {0xF1, 0xD1},  // n acute
        {0xF3, 0xD3},  // o acute
        {0x9C, 0x8C},  // s acute
        {0x9F, 0x8F},  // z acute
        {0xBF, 0xAF},  // z dot above
        {0x9A, 0x8A},  // s caron
        {0x9D, 0x8D},  // t caron
        {0x9E, 0x8E},  // z caron
        {0xBA, 0xAA},  // s cedilla
        {0xBE, 0xBC},  // l caron
        {0xE8, 0xC8},  // c caron
        {0xF8, 0xD8},  // r caron
        {0xFC, 0xDC},  // u diaeresis
        {0xFE, 0xDE},  // t cedilla
    };
    for (auto [lower, upper] : pairs) {
        EXPECT_EQ(UpperCase1250(lower), upper) << std::hex << int(lower);
        EXPECT_EQ(UpperCase1250(upper), upper) << std::hex << int(upper);
    }
    // Signs that look like letters but have no capital stay as they are.
    for (unsigned char c : {0xF7 /* division */, 0xD7 /* multiplication */, 0xB5 /* micro */,
                            0xDF /* sharp s */, 0xFF /* dot above */, 0xB2 /* ogonek */}) {
        EXPECT_EQ(UpperCase1250(c), c) << std::hex << int(c);
    }
    EXPECT_EQ(UpperCase1250(std::string("\xBF\xF3\xB3w z\xB9") + "b9"),
              std::string("\xAF\xD3\xA3W Z\xA5") + "B9");
    // Every byte maps to a byte whose own upper case is itself.
    for (int c = 0; c < 256; ++c) {
        const unsigned char u = UpperCase1250(static_cast<unsigned char>(c));
        EXPECT_EQ(UpperCase1250(u), u) << c;
    }
}

TEST(TextDateTime, EnglishAndPolishForms) {
    EXPECT_EQ(DateTimeText(kEnglish, DateTime{2026, 12, 7, 0, 37, 40}),
              "December 7, 2026 at 00:37:40");
    EXPECT_EQ(DateTimeText(kPolish, DateTime{2026, 12, 7, 0, 37, 40}),
              "7 grudnia 2026 godz.00:37:40");
    EXPECT_EQ(DateTimeText(kEnglish, DateTime{2027, 1, 31, 23, 5, 9}),
              "January 31, 2027 at 23:05:09");
    EXPECT_EQ(MonthName(kPolish, 9), "wrze\x9Cnia");
    EXPECT_EQ(MonthName(kPolish, 10),
              "pa\x9F"
              "dziernika");
    EXPECT_EQ(MonthName(kEnglish, 5), "May");
    EXPECT_EQ(MonthName(kEnglish, 0), "");
    EXPECT_EQ(MonthName(kEnglish, 13), "");
}

TEST(TextSplitLines, CrLfAndLfEndings) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("a\r\nb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitLines("a\n"), (V{"a"}));
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines("\n\r\n"), (V{"", ""}));
    // Only the CR right before LF belongs to the line end.
    EXPECT_EQ(SplitLines("a\r\r\nb\rc"), (V{"a\r", "b\rc"}));
}

}  // namespace
}  // namespace tarnwick
