// vm_release check on real files: the dates as the window compares them, the
// window's line, the verdict and the exit status, whatever the wording around;
// and the tool's wrong calls and help.
#include "tests/release/ToolTest.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string Today = "2026-12-09";

// A release record in code page 1250 with CRLF; no LastUpd or WazneDo key
// without its value.
std::string Release(const char *version, const char *lastUpd, const char *wazneDo = nullptr)
{
    std::string text = std::string("[Program]\r\nWersja=") + version + "\r\nWydanie=1\r\nWydanie_Dod=a\r\n";
    if (lastUpd)
        text += std::string("LastUpd=") + lastUpd + "\r\n";
    if (wazneDo)
        text += std::string("WazneDo=") + wazneDo + "\r\n";
    return text;
}

std::string Clean() { return Release("5.2", "2026/11/30"); }

std::string Utf16(const std::string &ascii)
{
    std::string text = "\xFF\xFE";
    for (char c : ascii)
        text += std::string{c, '\0'};
    return text;
}

class ReleaseCheck : public ToolTest {
protected:
    ToolRun Check(const std::vector<std::string> &files)
    {
        std::vector<std::string> arguments{"check", "--today", Today};
        arguments.insert(arguments.end(), files.begin(), files.end());
        return Run(arguments);
    }
};

TEST_F(ReleaseCheck, CleanFileShowsTheComparedDateAndTheWindowsLineInUtf8)
{
    // Named in UTF-8 here, in UTF-16 on Windows' command line; "ż" is 0xBF in
    // code page 1250.
    const std::string name = "wydanie-\xC5\xBC.inf";
    const std::string plain = Put("plain.inf", "[Program]\r\nWersja=5.2\r\nWydanie=1\r\nWydanie_Dod=\xBF\r\n"
                                               "LastUpd=2026/11/30\r\n");
    const auto utf8 = [](const std::string &text) { return std::filesystem::path(std::u8string(text.begin(), text.end())); };
    std::filesystem::rename(utf8(plain), utf8(temp / name));
    const ToolRun run = Check({temp / name});
    EXPECT_EQ(run.Status, 0) << run.Output;
    EXPECT_TRUE(Shows(run, name)) << run.Output;
    EXPECT_TRUE(Shows(run, "2026-11-30")) << run.Output;
    EXPECT_TRUE(Shows(run, "wersja: 5.2 , wyd. 1\xC5\xBC, 30/11/26")) << run.Output;
}

TEST_F(ReleaseCheck, DatesThatWarnShowTheDateAsComparedAndOneLineEach)
{
    const struct {
        const char *lastUpd; // nullptr: no key
        const char *wazneDo; // nullptr: no key
        const char *shown;   // the date as compared, or the last valid day
        int warnings;
    } rows[] = {{"3/4", nullptr, "2026-03-04", 1},
                // After today as well.
                {"30/1/2", nullptr, "2030-01-02", 2},
                {nullptr, nullptr, "2000-01-01", 1},
                {"023/1/2", nullptr, "0023-01-02", 1},
                {"02030/1/2", nullptr, "2030-01-02", 2},
                {"2027/06/01", nullptr, "2027-06-01", 1},
                // Passed; the last of the 7 days' notice; before LastUpd (also after today).
                {"2026/11/30", "2026/12/05", "2026-12-05", 1},
                {"2026/11/30", "2026/12/16", "2026-12-16", 1},
                {"2027/06/01", "2027/05/31", "2027-05-31", 2}};
    for (const auto &row : rows) {
        const ToolRun run = Check({Put("or_news.inf", Release("5.2", row.lastUpd, row.wazneDo))});
        const std::string name =
            std::string(row.lastUpd ? row.lastUpd : "(none)") + " " + (row.wazneDo ? row.wazneDo : "");
        EXPECT_EQ(run.Status, 1) << name << "\n" << run.Output;
        EXPECT_TRUE(Shows(run, row.shown)) << name << "\n" << run.Output;
        int warnings = 0;
        for (size_t at = run.Output.find("warning:"); at != std::string::npos; at = run.Output.find("warning:", at + 1))
            ++warnings;
        EXPECT_EQ(warnings, row.warnings) << name << "\n" << run.Output;
    }
}

TEST_F(ReleaseCheck, ReadingsTheWindowTakesOtherwiseWarn)
{
    const std::string cut(127, 'x');
    const struct {
        const char *what;
        std::string bytes;
        std::string shown; // what the window makes of it, when the row has it
    } rows[] = {
        // A mark before a comment hides nothing from the reader: the mark alone warns.
        {"UTF-8 byte order mark", "\xEF\xBB\xBF; wydanie\r\n" + Clean(), ""},
        {"UTF-16", Utf16(Clean()), ""},
        {"no section", "[Programy]\r\nWersja=5.2\r\nWydanie=1\r\nLastUpd=2026/11/30\r\n", "2000-01-01"},
        {"no Wersja", "[Program]\r\nWydanie=1\r\nLastUpd=2026/11/30\r\n", ""},
        {"empty WazneDo", Clean() + "WazneDo=\r\n", ""},
        {"value past 127", Release((cut + "yz").c_str(), "2026/11/30"), "\"" + cut + "\""},
        // UTF-8 "ż" read as code page 1250: "ĹĽ".
        {"UTF-8 text", Release("5.2 \xC5\xBC", "2026/11/30"), "5.2 \xC4\xB9\xC4\xBD"},
    };
    for (const auto &row : rows) {
        const ToolRun run = Check({Put("or_news.inf", row.bytes)});
        EXPECT_EQ(run.Status, 1) << row.what << "\n" << run.Output;
        EXPECT_TRUE(Shows(run, row.shown)) << row.what << "\n" << run.Output;
    }
}

TEST_F(ReleaseCheck, WhatTheWindowCannotUseIsExit2EvenBesideWarnings)
{
    const std::string clean = Put("or_news.inf", Clean());
    const std::string warned = Put("sv_news.inf", Release("5.2", "3/4"));
    const std::string rejected = Put("bv_news.inf", Release("5.2", "2030/13/45"));
    const std::string missing = temp / "nowhere.inf";
    // The last valid day takes three numbers and a four-digit year.
    const std::string shortYear = Put("sk_news.inf", Release("5.2", "2026/11/30", "26/12/31"));
    const std::string noYear = Put("ob_news.inf", Release("5.2", "2026/11/30", "12/31"));
    const std::vector<std::vector<std::string>> cases = {
        {rejected}, {missing}, {clean, missing}, {clean, rejected}, {warned, rejected}, {shortYear}, {noYear, clean}};
    for (const auto &files : cases) {
        const ToolRun run = Check(files);
        EXPECT_EQ(run.Status, 2) << files.back() << "\n" << run.Output;
        EXPECT_FALSE(Shows(run, "Zaktualizuj") || Shows(run, "niepotrzebna") || Shows(run, "nieaktualna"))
            << run.Output;
    }
}

TEST_F(ReleaseCheck, WithTheProductFileTheVerdictIsTheWindowsText)
{
    const std::string update = " Zaktualizuj program !!!", none = "Aktualizacja niepotrzebna",
                      outdated = "Informacja nieaktualna";
    const std::string product = Put("ort.ini", "[Program]\r\nWersja=5.1\r\nWydanie=1\r\nLastUpd=2025/11/03\r\n");
    const struct {
        std::string release;
        int status; // a WazneDo within 7 days of today warns
        std::string verdict;
    } rows[] = {{Clean(), 0, update},
                {Release("5.1", "2025/11/03"), 0, none},
                {Release("5.1", "2025/11/03", "2026/12/17"), 0, none},
                {Release("5.1", "2025/11/03", "2026/12/08"), 1, outdated},
                {Release("5.2", "2026/11/30", "2026/12/08"), 1, update}};
    for (const auto &row : rows) {
        const ToolRun run = Check({Put("or_news.inf", row.release), product});
        EXPECT_EQ(run.Status, row.status) << row.release << run.Output;
        EXPECT_TRUE(Shows(run, "wersja: 5.1 , wyd. 1, 03/11/25")) << run.Output;
        for (const std::string &verdict : {update, none, outdated})
            EXPECT_EQ(Shows(run, "\"" + verdict + "\""), verdict == row.verdict) << row.release << run.Output;
    }
}

TEST_F(ReleaseCheck, BadInputIsOneLineAndExit2)
{
    const std::string file = Put("or_news.inf", Clean());
    const std::vector<std::vector<std::string>> cases = {
        {"sign", file}, {"check"}, {"check", "--today", "2026-13-01", file}, {"check", file, file, file}};
    for (const auto &arguments : cases) {
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.Status, 2) << run.Output;
        EXPECT_EQ(std::count(run.Output.begin(), run.Output.end(), '\n'), 1) << run.Output;
    }
}

TEST_F(ReleaseCheck, HelpNamesEveryCommandAskedForExit0AndAfterACallWithoutAKnownCommandExit2)
{
    const struct {
        std::vector<std::string> arguments;
        int status;
    } rows[] = {{{"-h"}, 0}, {{"sign", "--help"}, 0}, {{}, 2}, {{"publish", "maker"}, 2}};
    for (const auto &row : rows) {
        const ToolRun run = Run(row.arguments);
        EXPECT_EQ(run.Status, row.status) << run.Output;
        for (const std::string command : {"check [--today YYYY-MM-DD] RELEASE [INSTALLED]", "keys [--no-passphrase] NAME",
                                          "sign FILE KEY", "verify FILE PUBLIC_KEY"})
            EXPECT_TRUE(Shows(run, "  " + command + "\n")) << run.Output;
    }
}

} // namespace
