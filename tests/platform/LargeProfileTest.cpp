// Profiles of tens of megabytes, such as no tool writes: reading keeps no more
// than a line's head of them, and a save holds the file only once or twice,
// so both work in a process allowed half a gigabyte.
#include "platform/PrivateProfile.h"

#include "tests/platform/ProfileFileFixture.h"

#include <sys/resource.h>
#include <unistd.h>

using namespace PrivateProfile;

namespace {

constexpr std::size_t kLineFeeds = 64u << 20;

void LimitMemory()
{
#ifndef __SANITIZE_ADDRESS__
    // The address sanitizer reserves terabytes of address space for itself:
    // under it the limit would fail every allocation, so only the plain build
    // measures the bound.
    const rlimit limit{512u << 20, 512u << 20};
    ::setrlimit(RLIMIT_AS, &limit);
#endif
}

// Run in a child process, each: exits 0 when the result is right.
[[noreturn]] void ReadFourKeys(const std::string &name)
{
    LimitMemory();
    const auto values = GetStrings(name, "Program", {"Wersja", "Wydanie", "Wydanie_Dod", "LastUpd"}, 127);
    ::_exit(values == std::vector<std::string>{"4.3", "", "", "2001/3/5"} ? 0 : 1);
}

[[noreturn]] void SaveFiveKeys(const std::string &name)
{
    LimitMemory();
    const bool saved = WriteStrings(
        name, "FTP", {{"Host", "h"}, {"HostPort", "21"}, {"UseProxy", "Nie"}, {"Proxy", ""}, {"ProxyPort", ""}});
    ::_exit(saved && GetString(name, "FTP", "HostPort", 127) == "21" ? 0 : 1);
}

} // namespace

TEST_F(ProfileFile, ReleaseFileOfLineFeedsIsReadInBoundedMemory)
{
    Put("[Program]\nWersja=4.3\n" + std::string(kLineFeeds, '\n') + "LastUpd=2001/3/5\n");
    EXPECT_EXIT(ReadFourKeys(name), ::testing::ExitedWithCode(0), "");
}

TEST_F(ProfileFile, SettingsFileOfLineFeedsIsSavedInBoundedMemory)
{
    Put("[FTP]\nHost=a\n" + std::string(kLineFeeds, '\n') + "[Other]\nX=1\n");
    EXPECT_EXIT(SaveFiveKeys(name), ::testing::ExitedWithCode(0), "");
    // The new keys go after the section's last entry; every line feed stays.
    const std::string head = "[FTP]\nHost=h\nHostPort=21\nUseProxy=Nie\nProxy=\nProxyPort=\n";
    const std::string tail = "[Other]\nX=1\n";
    EXPECT_EQ(std::filesystem::file_size(name), head.size() + kLineFeeds + tail.size());
}
