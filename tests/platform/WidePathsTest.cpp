// Profiles on Windows: names with Polish letters reach the wide-character
// calls whole, and a save that cannot replace the file leaves it as it was.
#include "platform/PrivateProfile.h"
#include "tests/platform/ProfileFileFixture.h"
#include "tests/support/WindowsFiles.h"

using testsupport::Utf8Path;

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
