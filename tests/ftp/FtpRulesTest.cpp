// The reading rules of replies and command texts, from tables.
#include "ftp/FtpRules.h"

#include <gtest/gtest.h>

namespace {

TEST(FtpRulesTest, ContinuationLines)
{
    const struct {
        const char *line;
        bool more;
    } table[] = {
        {"220-Welcome\r\n", true},   {"220 Ready\r\n", false},     {" indented\r\n", true},
        {"   \r\n", true},           {"220-\r\n", true},           {"abc-x\r\n", true},
        {"22-x\r\n", false},         {"220\r\n", false},           {"22\n", false},
        {"", false},                 {" \n", true},                {"Hello there\r\n", false},
    };
    for (const auto &row : table)
        EXPECT_EQ(IsContinuationLine(row.line), row.more) << '"' << row.line << '"';
}

TEST(FtpRulesTest, ServerAbortAtTheHeadOfTheBuffer)
{
    const struct {
        const char *buffered;
        bool abort;
    } table[] = {
        {"421 Timeout.\r\n", true}, {"426 Broken.\r\n", true}, {"421-", true},     {"421", false},
        {"42", false},              {"", false},               {"425 No.\r\n", false},
        {"226 Done.\r\n421 Bye.\r\n", false},                  {" 421 x\r\n", false},
    };
    for (const auto &row : table)
        EXPECT_EQ(IsServerAbort(row.buffered), row.abort) << '"' << row.buffered << '"';
}

TEST(FtpRulesTest, ByteCountIsTheLastNumberBeforeTheWord)
{
    const struct {
        const char *line;
        int32_t count;
    } table[] = {
        {"150 Opening BINARY mode data connection for a.bin (1234 bytes).\r\n", 1234},
        {"150 Opening data connection for news2.inf (0 bytes).\r\n", 0},
        {"150 File size 77 BYTES\r\n", 77},
        {"150 File size 77 ByTeS\r\n", 77},
        {"150 77bytes\r\n", 77},
        {" 2048 bytes to come\r\n", 2048},
        {"150 Opening data connection.\r\n", 0},          // no word
        {"125 Data connection already open. Transfer starting.\r\n", 0},
        {"150 Here come the bytes\r\n", 150},             // the reply code is the last number
        {"bytes 150 first\r\n", 0},                       // nothing before the word
        {"150 12 of 34 bytes, 56 bytes more\r\n", 34},    // the first word counts
        {"150 (2147483647 bytes)\r\n", 2147483647},
        {"150 (2147483648 bytes)\r\n", 0},                // does not fit 32 bits
        {"150 (99999999999999999999 bytes)\r\n", 0},
        {"", 0},
    };
    for (const auto &row : table)
        EXPECT_EQ(ParseByteCount(row.line), row.count) << '"' << row.line << '"';
}

TEST(FtpRulesTest, CommandKindByTheFirstWord)
{
    const struct {
        const char *command;
        TCmdType kind;
    } table[] = {
        {"CWD pub", cmdChangeDir},   {"CWD", cmdChangeDir},       {"cwd pub", cmdDoCommand},
        {"CWDX pub", cmdDoCommand},  {"DELE a.txt", cmdDelete},   {"MKD new", cmdMakeDir},
        {"RMD old", cmdRemoveDir},   {"PWD", cmdCurrentDir},      {"PWD x", cmdDoCommand},
        {"PWD ", cmdDoCommand},      {"TYPE I", cmdDoCommand},    {"", cmdDoCommand},
        {" CWD pub", cmdDoCommand},
    };
    for (const auto &row : table)
        EXPECT_EQ(CommandKind(row.command), row.kind) << '"' << row.command << '"';
}

TEST(FtpRulesTest, CommandTextsWithLineBreaksOrZeroBytesAreRefused)
{
    using namespace std::string_literals;
    for (const std::string &refused : {"NOOP\r\nDELE x"s, "RETR a\n"s, "RETR a\r"s, "RETR a\0b"s})
        EXPECT_THROW(RequireSingleLine(refused), ECommandRefused) << refused;
    for (const std::string accepted : {"", "RETR pub/news/news.rtf", "USER anonymous@ftp.example.org", "PASS \t~!"})
        EXPECT_NO_THROW(RequireSingleLine(accepted)) << accepted;
}

}  // namespace
