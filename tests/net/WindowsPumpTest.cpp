// The Windows event loop's rounds and the notification window's queue.
#include "platform/net/MessagePump.h"
#include "platform/net/NotificationWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Counted {
    std::vector<int> numbers;
    std::unique_ptr<net::NotificationWindow> window;

    Counted()
    {
        window = std::make_unique<net::NotificationWindow>([this](const net::Message &m) {
            numbers.push_back(m.Number);
            // A component that keeps asking itself to read on.
            if (m.Number == net::Message::ReadRequest)
                window->Post(net::Message{net::Message::ReadRequest});
        });
    }

    bool Got(int number) const
    {
        for (int n : numbers)
            if (n == number)
                return true;
        return false;
    }
};

} // namespace

TEST(NetWindowsPump, SelfPostedRequestsLeaveTheTimerItsTurn)
{
    Counted counted;
    counted.window->Post(net::Message{net::Message::ReadRequest});
    ASSERT_TRUE(counted.window->SetTimer(1));
    while (!counted.Got(net::Message::Timer))
        net::WaitForMessages();
    EXPECT_TRUE(counted.Got(net::Message::ReadRequest));
}

TEST(NetWindowsPump, DestroyedWindowDropsWhatWasPostedToIt)
{
    std::vector<int> dropped;
    auto gone = std::make_unique<net::NotificationWindow>([&](const net::Message &m) { dropped.push_back(m.Number); });
    Counted kept;
    gone->Post(net::Message{net::Message::WriteRequest});
    kept.window->Post(net::Message{net::Message::WriteRequest});
    gone.reset();
    while (!kept.Got(net::Message::WriteRequest))
        net::WaitForMessages();
    EXPECT_TRUE(dropped.empty());
}
