// vm_release check on real files: the dates as the window compares them, the
// window's line, the verdict and the exit status, whatever the wording around.
#include "tests/release/ToolTest.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string Today = "2026-12-09";

// A release record in code page 1250 with CRLF; no LastUpd key without LastUpd.
std::string Release(const char *version, const char *lastUpd)
{
    std::string text = std::string("[Program]\r\nWersja=") + version + "\r\nWydanie=1\r\nWydanie_Dod=a\r\n";
    if (lastUpd)
        text += std::string("LastUpd=") + lastUpd + "\r\n";
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

TEST_F(ReleaseCheck, DatesTheWindowReadsOtherwiseWarnAndShowTheDateAsCompared)
{
    const struct {
        const char *lastUpd; // nullptr: no key
        const char *compared;
    } rows[] = {{"3/4", "2026-03-04"},
                {"30/1/2", "2030-01-02"},
                {nullptr, "2000-01-01"},
                {"023/1/2", "0023-01-02"},
                {"02030/1/2", "2030-01-02"}};
    for (const auto &row : rows) {
        const ToolRun run = Check({Put("or_news.inf", Release("5.2", row.lastUpd))});
        const std::string name = row.lastUpd ? row.lastUpd : "(none)";
        EXPECT_EQ(run.Status, 1) << name << "\n" << run.Output;
        EXPECT_TRUE(Shows(run, row.compared)) << name << "\n" << run.Output;
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
    const std::vector<std::vector<std::string>> cases = {
        {rejected}, {missing}, {clean, missing}, {clean, rejected}, {warned, rejected}};
    for (const auto &files : cases) {
        const ToolRun run = Check(files);
        EXPECT_EQ(run.Status, 2) << files.back() << "\n" << run.Output;
        EXPECT_FALSE(Shows(run, "Zaktualizuj") || Shows(run, "niepotrzebna")) << run.Output;
    }
}

TEST_F(ReleaseCheck, WithTheProductFileTheVerdictIsTheWindowsText)
{
    const std::string product = Put("ort.ini", "[Program]\r\nWersja=5.1\r\nWydanie=1\r\nLastUpd=2025/11/03\r\n");
    const ToolRun newer = Check({Put("or_news.inf", Clean()), product});
    EXPECT_EQ(newer.Status, 0) << newer.Output;
    EXPECT_TRUE(Shows(newer, "wersja: 5.1 , wyd. 1, 03/11/25")) << newer.Output;
    EXPECT_TRUE(Shows(newer, "\" Zaktualizuj program !!!\"")) << newer.Output;
    EXPECT_FALSE(Shows(newer, "Aktualizacja niepotrzebna")) << newer.Output;

    const ToolRun same = Check({Put("or_news.inf", Release("5.1", "2025/11/03")), product});
    EXPECT_EQ(same.Status, 0) << same.Output;
    EXPECT_TRUE(Shows(same, "\"Aktualizacja niepotrzebna\"")) << same.Output;
    EXPECT_FALSE(Shows(same, "Zaktualizuj")) << same.Output;
}

TEST_F(ReleaseCheck, BadInputIsOneLineAndExit2)
{
    const std::string file = Put("or_news.inf", Clean());
    const std::vector<std::vector<std::string>> cases = {
        {},      {"publish", "maker"}, {"sign", file}, {"check"}, {"check", "--today", "2026-13-01", file},
        {"check", file, file, file}};
    for (const auto &arguments : cases) {
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.Status, 2) << run.Output;
        EXPECT_EQ(std::count(run.Output.begin(), run.Output.end(), '\n'), 1) << run.Output;
    }
}

} // namespace
