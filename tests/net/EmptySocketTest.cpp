// A socket that was never made answers every call alike on both systems.
#include "platform/net/Socket.h"

#include "platform/net/SocketErrors.h"

#include <gtest/gtest.h>

#include <functional>

TEST(NetSocket, EveryCallOnASocketNeverMadeFailsAsNoSocket)
{
    net::Socket empty;
    const net::Address loopback = *net::Address::FromLiteral("127.0.0.1", 21);
    net::Address filled;
    char byte = 0;
    const struct {
        const char *call;
        std::function<long()> run;
    } calls[] = {
        {"Connect", [&] { return long(empty.Connect(loopback)); }},
        {"Bind", [&] { return long(empty.Bind(loopback)); }},
        {"Listen", [&] { return long(empty.Listen(1)); }},
        {"Accept", [&] { return empty.Accept(filled).IsOpen() ? 0L : long(net::SocketError); }},
        {"Send", [&] { return empty.Send(&byte, 1); }},
        {"Recv", [&] { return empty.Recv(&byte, 1); }},
        {"GetSockName", [&] { return long(empty.GetSockName(filled)); }},
        {"GetPeerName", [&] { return long(empty.GetPeerName(filled)); }},
        {"SetResetOnClose", [&] { return long(empty.SetResetOnClose()); }},
        {"Select", [&] { return long(empty.Select(nullptr, 0, 0)); }},
    };
    for (const auto &c : calls) {
        net::SetLastError(0);
        EXPECT_EQ(c.run(), net::SocketError) << c.call;
        EXPECT_EQ(net::GetLastError(), 10038) << c.call;
    }
    EXPECT_FALSE(empty.CanConnect());
    EXPECT_EQ(empty.Close(), 0);
}
