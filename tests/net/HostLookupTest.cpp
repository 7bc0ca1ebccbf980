#include "platform/net/HostLookup.h"
#include "platform/net/NotificationWindow.h"
#include "tests/support/NetTestSupport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

using namespace testsupport;

namespace {

struct Inbox {
    std::vector<net::Message> got;
    std::vector<std::thread::id> threads; // where each message was handled
    net::NotificationWindow window{[this](const net::Message &m) {
        got.push_back(m);
        threads.push_back(std::this_thread::get_id());
    }};
};

// Asks for a name, and ends the program before the answer can have come.
[[noreturn]] void EndWhileLookingUp()
{
    Inbox inbox;
    net::AsyncGetHostByName("localhost", &inbox.window, 1);
    std::exit(0);
}

} // namespace

TEST(NetHostLookup, SystemResolverAnswersLocalhostWithItsIpv4Address)
{
    Inbox inbox;
    net::AsyncGetHostByName("localhost", &inbox.window, 7);
    EXPECT_TRUE(inbox.got.empty());
    ASSERT_TRUE(PumpUntil([&] { return !inbox.got.empty(); }));
    const net::Message &m = inbox.got.front();
    EXPECT_EQ(m.Number, net::Message::LookupDone);
    EXPECT_EQ(m.Tag, 7u);
    EXPECT_EQ(m.Error, 0);
    EXPECT_TRUE(std::ranges::any_of(m.Addresses, [](const net::Address &a) { return a.HostText() == "127.0.0.1"; }));
    // Answered on the helper thread, handed over to the event loop's.
    EXPECT_EQ(inbox.threads.front(), std::this_thread::get_id());
}

TEST(NetHostLookup, ProgramEndsCleanlyWhileTheSystemLooksUp)
{
    EXPECT_EXIT(EndWhileLookingUp(), ::testing::ExitedWithCode(0), "");
}

TEST(NetHostLookup, SystemResolverKeepsIpv6Addresses)
{
    Inbox inbox;
    net::AsyncGetHostByName("::1", &inbox.window, 8);
    ASSERT_TRUE(PumpUntil([&] { return !inbox.got.empty(); }));
    const net::Message &m = inbox.got.front();
    EXPECT_EQ(m.Error, 0);
    ASSERT_EQ(m.Addresses.size(), 1u);
    EXPECT_TRUE(m.Addresses.front().IsIpv6());
    EXPECT_EQ(m.Addresses.front().HostText(), "::1");
}

TEST(NetHostLookup, ReplacedResolverDeliversItsFailure)
{
    FakeResolver resolver(true, 0, net::ErrorCode::HostNotFound);
    Inbox inbox;
    net::AsyncGetHostByName("no.such.host", &inbox.window, 3);
    ASSERT_TRUE(PumpUntil([&] { return !inbox.got.empty(); }));
    EXPECT_EQ(resolver.Names, std::vector<std::string>{"no.such.host"});
    EXPECT_EQ(inbox.got.front().Error, net::ErrorCode::HostNotFound);
    EXPECT_EQ(inbox.got.front().Tag, 3u);
}

TEST(NetHostLookup, LateAnswerReachesOnlyWindowsThatStillExist)
{
    FakeResolver resolver(false, 0, 0);
    auto gone = std::make_unique<Inbox>();
    Inbox kept;
    net::AsyncGetHostByName("first", &gone->window, 1);
    net::AsyncGetHostByName("second", &kept.window, 2);
    ASSERT_EQ(resolver.Pending.size(), 2u);

    gone.reset();
    for (const auto &answer : resolver.Pending)
        answer({*net::Address::FromLiteral("127.0.0.1")}, 0);
    ASSERT_TRUE(PumpUntil([&] { return !kept.got.empty(); }));

    ASSERT_EQ(kept.got.size(), 1u);
    EXPECT_EQ(kept.got.front().Tag, 2u);
}
