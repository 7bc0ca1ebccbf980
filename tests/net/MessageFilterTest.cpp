// The window's hook into the Windows event loop.
#include "platform/net/MessagePump.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// Takes the program's end for itself, as the window's loop will.
struct QuitWatch : net::MessageFilter {
    bool quit = false;
    bool Filter(void *systemMessage) override
    {
        quit = quit || static_cast<MSG *>(systemMessage)->message == WM_QUIT;
        return quit;
    }
};

} // namespace

TEST(NetMessageFilter, SeesTheEndOfTheProgram)
{
    QuitWatch watch;
    net::MessageFilter *before = net::SetMessageFilter(&watch);
    ::PostQuitMessage(0);
    while (!watch.quit)
        net::WaitForMessages();
    EXPECT_EQ(net::SetMessageFilter(before), &watch);
}
