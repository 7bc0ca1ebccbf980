#include "ui/ErrorBoxLinux.h"

#include <gtest/gtest.h>

TEST(ErrorBoxText, FullStopFollowsLettersAndDigitsOnly)
{
    EXPECT_EQ(ErrorBoxText("Accepting Canceled"), "Accepting Canceled.");
    EXPECT_EQ(ErrorBoxText("Error 5"), "Error 5.");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("550 No such file\r\n"), "550 No such file\r\n");
    EXPECT_EQ(ErrorBoxText("Really?"), "Really?.");   // "?" lies above "."
    EXPECT_EQ(ErrorBoxText("a-"), "a-");             // "-" lies below "."
    EXPECT_EQ(ErrorBoxText("\xB3"), "\xB3.");        // a Polish letter too
    EXPECT_EQ(ErrorBoxText(""), "");
}
