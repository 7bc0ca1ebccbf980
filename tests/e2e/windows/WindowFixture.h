#pragma once
// The Windows program as a user starts it: copied into a program directory
// of its own, started under wine, its window driven from this process. The
// directory and the FTP servers are the harness service's, in the same
// private network as wine.
#include "tests/e2e/windows/WindowDriver.h"
#include "tests/support/ProgramDirFixture.h"

#include "harness/FtpFiles.h"
#include "harness/PrivateNetwork.h"
#include "ui/windows/ControlIds.h"

#include <optional>
#include <string>

class WindowFixture : public ProgramDirFixture {
protected:
    void SetUp() override;

    // Copies the program into Folder (UTF-8) below the test's directory, which
    // Start then starts it from.
    void InstallIn(const std::string &folder);
    // Starts the program and waits for its window.
    windowdriver::Window &Start();
    // The boxes the program shows now.
    std::vector<windowdriver::Box> Boxes() const { return windowdriver::BoxesOf(*process); }

    // The news and a release newer than the installed one (PrepareProduct), on Files.
    static void ServeNews(harness::FtpFiles &files);
    // Clicks "Sprawdź co nowego ?" and waits for the verdict or a box.
    void Check();
    // What a whole check shows and leaves on disk, in ProductFolder ("" or
    // ending in "/") below the test's directory.
    void ExpectWholeCheck(const std::string &productFolder = "");

    static const std::string NewsRtf;
    static const std::string ServerRelease;
    static const std::string NewerVerdict;

    // The copy of the program that Start starts.
    std::string program;
    std::optional<windowdriver::Process> process;
    std::optional<windowdriver::Window> window;
};
