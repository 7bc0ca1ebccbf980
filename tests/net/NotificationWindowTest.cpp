#include "platform/net/MessagePump.h"
#include "platform/net/NotificationWindow.h"
#include "tests/support/NetTestSupport.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace testsupport;

namespace {

std::vector<int> Numbers(const std::vector<net::Message> &messages)
{
    std::vector<int> numbers;
    for (const net::Message &m : messages)
        numbers.push_back(m.Number);
    return numbers;
}

} // namespace

TEST(NetNotificationWindow, MessagesArriveInOrderOnlyWhileTheLoopRuns)
{
    std::vector<net::Message> got;
    net::NotificationWindow window([&](const net::Message &m) { got.push_back(m); });
    window.Post({net::Message::WriteRequest});
    window.Post({net::Message::SocketEvent, net::Notice::Connect, 10061});
    window.Post({net::Message::ReadRequest});
    EXPECT_TRUE(got.empty());

    net::ProcessMessages();

    EXPECT_EQ(Numbers(got),
              (std::vector<int>{net::Message::WriteRequest, net::Message::SocketEvent, net::Message::ReadRequest}));
    EXPECT_EQ(got[1].Event, net::Notice::Connect);
    EXPECT_EQ(got[1].Error, 10061);
}

TEST(NetNotificationWindow, DestroyingDropsPendingMessages)
{
    int dropped = 0, delivered = 0;
    auto doomed = std::make_unique<net::NotificationWindow>([&](const net::Message &) { ++dropped; });
    net::NotificationWindow survivor([&](const net::Message &) { ++delivered; });
    doomed->Post({net::Message::ReadRequest});
    doomed->Post({net::Message::WriteRequest});
    survivor.Post({net::Message::ReadRequest});

    doomed.reset();
    net::ProcessMessages();

    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(delivered, 1);
}

TEST(NetNotificationWindow, TimerTicksUntilKilled)
{
    int ticks = 0;
    net::NotificationWindow window([&](const net::Message &m) {
        if (m.Number == net::Message::Timer)
            ++ticks;
    });
    EXPECT_FALSE(window.SetTimer(0));

    ASSERT_TRUE(window.SetTimer(10));
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    window.KillTimer();
    const int atKill = ticks;
    PumpFor(60ms);
    EXPECT_EQ(ticks, atKill);
}

TEST(NetMessagePump, WaitStepHandlesWhatIsPending)
{
    int handled = 0;
    net::NotificationWindow window([&](const net::Message &) { ++handled; });
    window.Post({net::Message::ReadRequest});
    window.Post({net::Message::ReadRequest});
    net::WaitForMessages();
    EXPECT_EQ(handled, 2);
}

// A handler's message (a request re-posted, a lookup's answer) is posted while
// posted events are being delivered; the step that delivers it must not sleep.
TEST(NetMessagePump, WaitStepEndsAfterAMessageAHandlerPosted)
{
    std::vector<net::Message> got;
    net::NotificationWindow window([&](const net::Message &m) {
        got.push_back(m);
        if (m.Number == net::Message::WriteRequest)
            window.Post({net::Message::ReadRequest});
    });
    // Turns a step that sleeps for good into a failure.
    bool rescued = false;
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] { rescued = true; });
    rescue.start(5s);

    window.Post({net::Message::WriteRequest});
    while (got.size() < 2 && !rescued)
        net::WaitForMessages();
    EXPECT_FALSE(rescued);
    EXPECT_EQ(Numbers(got), (std::vector<int>{net::Message::WriteRequest, net::Message::ReadRequest}));
}
