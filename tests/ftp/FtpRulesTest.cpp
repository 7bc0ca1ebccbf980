// The reading rules of replies and command texts, from tables.
#include "ftp/FtpRules.h"
#include "sock/TcpSocket.h"

#include <gtest/gtest.h>

namespace {

TEST(FtpRulesTest, MultiLineRepliesOpenAndEndByTheirCode)
{
    const struct {
        const char *line;
        bool opens;
    } openers[] = {
        {"220-Welcome\r\n", true}, {"220-\r\n", true},  {"220 Ready\r\n", false}, {" indented\r\n", false},
        {"abc-x\r\n", false},      {"22-x\r\n", false}, {"220\r\n", false},       {"", false},
    };
    for (const auto &row : openers)
        EXPECT_EQ(OpensMultiLineReply(row.line), row.opens) << '"' << row.line << '"';

    const struct {
        const char *line;
        bool ends;
    } enders[] = {
        {"220 Ready\r\n", true},     {"220\r\n", true},        {"220", true},           {"220x\r\n", true},
        {"220-More\r\n", false},     {"Please be nice\r\n", false}, {"221 Bye\r\n", false},
        {" 220 Ready\r\n", false},   {"22\r\n", false},        {"", false},
    };
    for (const auto &row : enders)
        EXPECT_EQ(EndsMultiLineReply("220-Welcome\r\n", row.line), row.ends) << '"' << row.line << '"';
}

TEST(FtpRulesTest, SizeRepliesGiveTheirSizeOnly)
{
    const struct {
        const char *line;
        std::optional<int64_t> size;
    } table[] = {
        {"213 68\r\n", 68},        {"213 0\r\n", 0},          {"213 5000000000\r\n", 5000000000},
        {"213 68 \r\n", 68},       {"213-68\r\n", {}},        {"550 No such file.\r\n", {}},
        {"213 -5\r\n", {}},        {"213 12 bytes\r\n", {}},  {"213 \r\n", {}},
        {"213 99999999999999999999\r\n", {}},
    };
    for (const auto &row : table)
        EXPECT_EQ(SizeFromReply(row.line), row.size) << '"' << row.line << '"';
}

TEST(FtpRulesTest, ReplyClassesAtTheirEdges)
{
    const struct {
        int code;
        bool negative, loginRefusal, refusal, unsupported;
    } table[] = {
        {0, false, false, false, false},     {200, false, false, false, false}, {300, false, false, false, false},
        {301, false, false, true, false},    {331, false, false, true, false},  {399, false, false, true, false},
        {400, true, false, true, false},     {401, true, true, true, false},    {421, true, true, true, false},
        {499, true, true, true, false},      {500, true, true, true, true},     {502, true, true, true, true},
        {503, true, true, true, false},      {599, true, true, true, false},    {600, false, false, false, false},
        {-421, false, false, false, false},
    };
    for (const auto &row : table) {
        EXPECT_EQ(IsNegative(row.code), row.negative) << row.code;
        EXPECT_EQ(IsLoginRefusal(row.code), row.loginRefusal) << row.code;
        EXPECT_EQ(IsRefusal(row.code), row.refusal) << row.code;
        EXPECT_EQ(IsUnsupported(row.code), row.unsupported) << row.code;
    }
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

// Only a size the reply really names may fail a transfer that came up short.
TEST(FtpRulesTest, AnnouncedSizeIsANumberRightBeforeTheWordBytes)
{
    const struct {
        const char *line;
        int64_t size;  // -1: none
    } table[] = {
        {"150 Opening BINARY mode data connection for f (63 bytes).\r\n", 63},
        {" 2048 bytes to come\r\n", 2048},
        {"150 File size 77 BYTES\r\n", 77},
        {"150 77bytes\r\n", 77},
        {"150 (4294967296 bytes)\r\n", 4294967296},      // beyond 32 bits
        {"150 Here come the bytes\r\n", -1},             // the reply code is no size
        {"150 Opening data connection for bytes.dat\r\n", -1},
        {"150 0.1 kbytes to download\r\n", -1},          // not in bytes
        {"150 1.5 bytes\r\n", -1},
        {"150 Opening data connection.\r\n", -1},
        {"125 Data connection already open. Transfer starting.\r\n", -1},
        {"", -1},
    };
    for (const auto &row : table)
        EXPECT_EQ(AnnouncedSize(row.line).value_or(-1), row.size) << '"' << row.line << '"';
}

TEST(FtpRulesTest, OnlyA2xxCompletionReplyIsASuccess)
{
    EXPECT_TRUE(IsPositiveCompletion("226 Transfer complete.\r\n"));
    EXPECT_TRUE(IsPositiveCompletion("250 OK\r\n"));
    for (const char *line : {"451 Local error.\r\n", "150 More.\r\n", "2260 Odd\r\n", "22 Short\r\n",
                             "Transfer complete\r\n", ""})
        EXPECT_FALSE(IsPositiveCompletion(line)) << '"' << line << '"';
}

TEST(FtpRulesTest, EprtNamesNoInterfaceTheServerCannotKnow)
{
    EXPECT_EQ(EprtCommand("fe80::1%eth0", 1030), "EPRT |2|fe80::1|1030|");
    EXPECT_EQ(EprtCommand("2001:db8::21", 65535), "EPRT |2|2001:db8::21|65535|");
}

TEST(FtpRulesTest, EpsvPortFromTheDelimitedGroup)
{
    const struct {
        const char *reply;
        int port;  // 0: none
    } table[] = {
        {"229 Entering Extended Passive Mode (|||6446|)\r\n", 6446},
        {"229 Entering Extended Passive Mode (|||6446|).\r\n", 6446},
        {"229 (!!!1!)\r\n", 1},
        {"229 (|||65535|)\r\n", 65535},
        {"229-Extended (|||2121|)\r\n", 2121},
        {"229 (|||65536|)\r\n", 0},       // beyond the port range
        {"229 (|||0|)\r\n", 0},
        {"229 (|||123456|)\r\n", 0},
        {"229 (||||)\r\n", 0},            // no port
        {"229 (|||6446!)\r\n", 0},        // delimiters differ
        {"229 (||6446|)\r\n", 0},         // two delimiters only
        {"229 (|||6446|\r\n", 0},         // not closed
        {"229 (111222)\r\n", 0},          // a digit cannot delimit
        {"229 (   6446 )\r\n", 0},        // a blank cannot either
        {"229 (|||-1|)\r\n", 0},
        {"229 Entering Extended Passive Mode\r\n", 0},
        {"200 (|||6446|)\r\n", 0},        // not the reply to EPSV
        {"2290 (|||6446|)\r\n", 0},
        {"(|||6446|)\r\n", 0},
        {"229 (", 0},
        {"", 0},
    };
    for (const auto &row : table)
        EXPECT_EQ(EpsvPort(row.reply).value_or(0), row.port) << '"' << row.reply << '"';
}

TEST(FtpRulesTest, PasvPortFromTheLastTwoOfSixNumbers)
{
    const struct {
        const char *reply;
        int port;  // 0: none
    } table[] = {
        {"227 Entering Passive Mode (127,0,0,1,4,21).\r\n", 1045},
        {"227 Entering Passive Mode (10,9,8,7,255,255)\r\n", 65535},
        {"227 =192,168,1,5,0,21\r\n", 21},                      // no parentheses
        {"227 Entering Passive Mode 2 (127,0,0,1,4,21)\r\n", 1045},  // a number before the group
        {"227 (203,0,113,9,4,21)\r\n", 1045},                   // a foreign host: only the port counts
        {"227 (127,0,0,1,0,0)\r\n", 0},                         // port 0
        {"227 (127,0,0,1,256,1)\r\n", 0},                       // a number beyond a byte
        {"227 (127,0,0,1,4,2100)\r\n", 0},
        {"227 (300,0,0,1,4,21)\r\n", 0},
        {"227 (127,0,0,1,4)\r\n", 0},                           // five numbers
        {"227 (127,0,0,1,4,)\r\n", 0},
        {"227 (127.0.0.1:1045)\r\n", 0},
        {"227 (127,0,0,1,-4,21)\r\n", 0},
        {"227 Entering Passive Mode\r\n", 0},
        {"200 (127,0,0,1,4,21)\r\n", 0},                        // not the reply to PASV
        {"227", 0},
        {"", 0},
    };
    for (const auto &row : table)
        EXPECT_EQ(PasvPort(row.reply).value_or(0), row.port) << '"' << row.reply << '"';
}

// The command word as the client takes it, by the socket layer's word split.
struct CommandWords : TTcpSocket {
    using TTcpSocket::NthWord;
};

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
        EXPECT_EQ(CommandKind(CommandWords::NthWord(row.command, ' ', 1), row.command), row.kind)
            << '"' << row.command << '"';
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
