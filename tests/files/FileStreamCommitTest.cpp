// What every system's file stream does alike: the target keeps its old copy
// until the new one is committed; what a killed download left beside the
// target is cleared, and nothing else.
#include "tests/files/FileStreamFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

TEST_F(FileStream, UncommittedFileLeavesTheTargetAsItWas)
{
    Put(target, "good copy");
    {
        TFileStream file(target);
        file.Write("cut", 3);
        file.Close();
    }
    EXPECT_EQ(Contents(target), "good copy");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

TEST_F(FileStream, LeftoverOfAKilledDownloadIsRemoved)
{
    Put(leftover, "cut");
    Download("new");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f"));
}

TEST_F(FileStream, SimilarNamesAreLeftAlone)
{
    for (const char *name : {"f.bak", "g.vm_ver32-Ab3dE9", "f.vm_ver32-Ab3dE90"})
        Put(dir / name, "kept");
    Download("new");
    EXPECT_THAT(harness::NamesIn(dir.Path()), ElementsAre("f", "f.bak", "f.vm_ver32-Ab3dE90", "g.vm_ver32-Ab3dE9"));
}

TEST_F(FileStream, ClosedDownloadKeepsItsFileFromTheNextOne)
{
    // A download is closed long before the server's reply lets it commit.
    TFileStream first(target);
    first.Write("first", 5);
    first.Close();
    { TFileStream second(target); }
    first.Commit();
    EXPECT_EQ(Contents(target), "first");
}
