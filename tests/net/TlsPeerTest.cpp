// Whom TLS asks for and what the certificate must name, for hosts as the
// connect reads them: one answer on both systems.
#include "platform/net/SocketSystem.h"
#include "platform/net/detail/TlsPeer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(NetTlsPeer, HostBecomesNameOrAddressBytes)
{
    // Address literals are read by the socket system (Windows: after its start).
    net::Startup();
    using Bytes = std::vector<unsigned char>;
    const Bytes loopback6 = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const Bytes linkLocal = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const struct {
        std::string host;
        std::string name;  // empty: an address, or nothing
        Bytes address;
        std::string addressText;
        bool sni;
        std::string target;
    } cases[] = {
        {"example.com", "example.com", {}, "", true, "example.com"},
        {"Example.COM", "Example.COM", {}, "", true, "Example.COM"},
        {"example.com.", "example.com", {}, "", true, "example.com"},
        {"[example.com]", "example.com", {}, "", true, "example.com"},
        {"", "", {}, "", false, ""},
        {"127.1", "", {127, 0, 0, 1}, "127.0.0.1", false, "127.0.0.1"},
        {"::ffff:127.0.0.1", "", {127, 0, 0, 1}, "127.0.0.1", false, "127.0.0.1"},
        {"[::1]", "", loopback6, "::1", false, "::1"},
        {"fe80::1%eth0", "", linkLocal, "fe80::1", false, "fe80::1"},
        // An interface this machine may not have changes nothing.
        {"[fe80::1%no-such-interface]", "", linkLocal, "fe80::1", false, "fe80::1"},
    };
    for (const auto &c : cases) {
        const net::TlsPeer peer(c.host);
        SCOPED_TRACE("host \"" + c.host + "\"");
        EXPECT_EQ(peer.IsAddress(), !c.address.empty());
        EXPECT_EQ(peer.Name(), c.name);
        EXPECT_EQ(peer.AddressBytes(), c.address);
        EXPECT_EQ(peer.AddressText(), c.addressText);
        EXPECT_EQ(peer.SendsSni(), c.sni);
        EXPECT_EQ(peer.NamesNothing(), c.host.empty());
        EXPECT_EQ(peer.TargetName(), c.target);
    }
}
