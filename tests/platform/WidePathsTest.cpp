// Paths on Windows: names with Polish letters reach the wide-character calls
// whole, the program's own directory included; full names are told by
// Windows' spellings; a profile save that cannot replace the file leaves it
// as it was.
#include "platform/PrivateProfile.h"
#include "platform/ProgramPaths.h"
#include "tests/platform/ProfileFileFixture.h"
#include "tests/support/FilesWindows.h"

using testsupport::Utf8Path;

namespace {

// Runs Program with Arguments and gives its exit code; -1 when it cannot start.
long RunAndWait(const std::filesystem::path &program, const std::wstring &arguments)
{
    std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

}  // namespace

TEST(ProgramPaths, ProgramInADirectoryWithPolishLettersFindsItself)
{
    const harness::TempDir temp;
    const std::filesystem::path polish = Utf8Path(temp / "ąęłńóśźż");
    ASSERT_TRUE(std::filesystem::create_directory(polish));
    const std::filesystem::path copy = polish / VM_TEST_EXECUTABLE;
    std::filesystem::copy_file(Utf8Path(ProgramPaths::ProgramDirectory() + VM_TEST_EXECUTABLE), copy);
    EXPECT_EQ(RunAndWait(copy, L"--gtest_filter=ProgramPaths.ProgramDirectoryHoldsThisExecutable"), 0);
}

// A name by a drive, a share or the drive's root is whole; anything else
// lies below the directory put before it.
TEST(ProgramPaths, FullNamesAreTheSystemsOwnSpellings)
{
    for (const char *full : {"C:\\certs\\ca.pem", "d:/certs/ca.pem", "C:ca.pem", "\\\\server\\share\\ca.pem",
                             "//server/share/ca.pem", "\\certs\\ca.pem"})
        EXPECT_TRUE(ProgramPaths::IsAbsolute(full)) << full;
    for (const char *relative : {"", "ca.pem", "certs\\ca.pem", ".\\ca.pem", "1:ca.pem"})
        EXPECT_FALSE(ProgramPaths::IsAbsolute(relative)) << relative;
}

TEST_F(ProfileFile, ProfileInADirectoryWithPolishLettersIsSavedAndRead)
{
    const std::string polish = temp / "ąęłńóśźż";
    ASSERT_TRUE(std::filesystem::create_directory(Utf8Path(polish)));
    const std::string profile = polish + "/vm_ver32.ini";
    ASSERT_TRUE(PrivateProfile::WriteString(profile, "FTP", "Host", "ftp.example"));
    ASSERT_TRUE(PrivateProfile::WriteString(profile, "FTP", "Port", "21"));
    EXPECT_EQ(PrivateProfile::GetString(profile, "FTP", "Host", 127), "ftp.example");
    std::ifstream in(Utf8Path(profile), std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "[FTP]\r");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Utf8Path(polish)), {}), 1);
}

TEST_F(ProfileFile, ProfileAnotherProgramHoldsOpenIsKept)
{
    Put("[FTP]\r\nHost=old\r\n");
    {
        const testsupport::HeldOpen held(name);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_FALSE(PrivateProfile::WriteString(name, "FTP", "Host", "new"));
    }
    EXPECT_EQ(Read(), "[FTP]\r\nHost=old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}
