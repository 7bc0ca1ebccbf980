#include "platform/Exception.h"
#include "platform/IntConvert.h"
#include "tests/support/FailureOf.h"

#include <gtest/gtest.h>

using testsupport::FailureOf;
using IntConvert::TryStrToInt;

TEST(IntConvert, ReadsDecimalAndHexadecimal)
{
    const std::pair<const char *, int> cases[] = {
        {"21", 21},         {"  2121", 2121},     {"$15", 21},         {"0x15", 21},          {"0X1f", 31},
        {"-5", -5},         {"+7", 7},            {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"$FFFFFFFF", -1},  {"0x7fffffff", INT32_MAX}, {"007", 7},
    };
    for (const auto &[text, expected] : cases) {
        int value = 0;
        EXPECT_TRUE(TryStrToInt(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

TEST(IntConvert, RefusesEverythingElse)
{
    for (const char *text : {"", " ", "21 ", "2a", "$", "0x", "$G", "2147483648", "-2147483649", "$100000000",
                             "1e3", "٢١", "- 5", "21\n"}) {
        int value = 0;
        EXPECT_FALSE(TryStrToInt(text, value)) << text;
    }
}

TEST(IntConvert, ErrorNamesTheText)
{
    EXPECT_EQ(FailureOf<EConvertError>([&] { IntConvert::StrToInt("21a"); }), "'21a' is not a valid integer value");
}
