#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, PolishLettersRoundTrip)
{
    const std::string polish = "ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ";
    const std::string cp = CodePage::FromUtf8(polish);
    EXPECT_EQ(cp, "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_EQ(CodePage::ToUtf8(cp), polish);
}

TEST(CodePage, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(CodePage::FromUtf8(CodePage::ToUtf8(all)), all);
    // The bytes 1250 leaves undefined stand for the C1 controls of their value.
    EXPECT_EQ(CodePage::ToUtf8("\x81\x83\x88\x90\x98"), "\u0081\u0083\u0088\u0090\u0098");
}

TEST(CodePage, CharacterOutsideTheCodePageBecomesQuestionMark)
{
    EXPECT_EQ(CodePage::FromUtf8("a€b中"), "a\x80" "b?");
    EXPECT_EQ(CodePage::FromUtf8("\xFF\xC4"), "??"); // broken UTF-8
}

TEST(CodePage, OtherCodePagesDecodeTheirOwnLetters)
{
    EXPECT_EQ(CodePage::Decode(1251, 0xC0), U'А');
    EXPECT_EQ(CodePage::Decode(1252, 0xE9), U'é');
    EXPECT_EQ(CodePage::Decode(1253, 0xC1), U'Α');
    EXPECT_EQ(CodePage::Decode(1254, 0xF0), U'ğ');
    EXPECT_EQ(CodePage::Decode(1257, 0xE0), U'ą');
    EXPECT_EQ(CodePage::Decode(437, 0xB9), U'ą');       // unknown pages read as 1250
}

TEST(CodePage, Utf16RoundTripsPolishLettersAndEveryByte)
{
    const std::string cp = CodePage::FromUtf8("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ");
    EXPECT_EQ(CodePage::ToUtf16(cp), u"ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ");
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(CodePage::FromUtf16(CodePage::ToUtf16(all)), all);
}

TEST(CodePage, Utf16OutsideTheCodePageBecomesOneQuestionMarkEach)
{
    // A surrogate pair is one character; a lone surrogate is none.
    EXPECT_EQ(CodePage::FromUtf16(u"a\U0001F600b\xD800" u"c中"), "a?b?c?");
}
