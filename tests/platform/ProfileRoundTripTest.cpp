// Names that a written profile line could not give back are refused instead of
// being written and lost (found by the profile fuzz target).
#include "platform/PrivateProfile.h"

#include <gtest/gtest.h>

using namespace PrivateProfile;

namespace {

TEST(FuzzFindingProfile, SectionHoldingClosingBracketIsRefused)
{
    // Its header "[]]" would read as the section "".
    EXPECT_FALSE(CanWrite("]", "K", "v"));
    EXPECT_FALSE(CanWrite("Pro]gram", "K", "v"));
    EXPECT_EQ(ReadValue(WithValue("", "]", "K", "v"), "]", "K"), "") << "why it is refused";
}

TEST(FuzzFindingProfile, KeyThatReadsAsCommentOrHeaderIsRefused)
{
    EXPECT_FALSE(CanWrite("FTP", ";Host", "v"));
    EXPECT_FALSE(CanWrite("FTP", "  [Host", "v"));
    EXPECT_EQ(ReadValue(WithValue("", "FTP", ";Host", "v"), "FTP", ";Host"), "") << "why it is refused";
}

TEST(FuzzFindingProfile, WritableNamesReadBack)
{
    ASSERT_TRUE(CanWrite("[Program", "Ho;st[", " v "));
    const std::string text = WithValue("[FTP]\r\nHost=a\r\n", "[Program", "Ho;st[", " v ");
    EXPECT_EQ(ReadValue(text, "[Program", "Ho;st["), "v");
    EXPECT_EQ(ReadValue(text, "FTP", "Host"), "a");
}

} // namespace
