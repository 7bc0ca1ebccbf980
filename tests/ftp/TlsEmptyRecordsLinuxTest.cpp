// Records that decrypt to nothing, from a server's TLS that can send them
// (GnuTLS; no server built on OpenSSL can): more than 32 in a row break the
// stream as a reset does, and a record with data starts the count again.
// Wine's SChannel is built on GnuTLS too, which may take such records before
// the program sees them: this runs where the count can be watched.
#include "tests/ftp/FtpClientFixture.h"
#include "harness/EmptyRecordsServer.h"
#include "harness/PrivateNetwork.h"
#include "harness/TestCertificates.h"
#include "tests/support/FailureOf.h"

#include <gtest/gtest.h>

using harness::TestCertificates;

namespace {

class TlsEmptyRecordsTest : public FtpClientTest {
protected:
    TlsEmptyRecordsTest()
    {
        client.UseTls = true;
        client.TrustedCaFile = certificates.CaFile();
        client.ReplyTimeOut = 10000;  // only a regression waits that long
    }

    // Logs in to a server that sends Count empty records before each reply
    // to TYPE, and sets the type twice; the failure's text, empty on success.
    std::string TypeTwiceAfter(int count)
    {
        harness::EmptyRecordsServer peer(certificates.Server(TestCertificates::Kind::Good), count);
        Target(peer.Host(), peer.Port());
        client.Connect();
        const std::string failure = testsupport::FailureOf<Exception>([&] {
            client.Mode(2);
            client.Mode(2);
        });
        if (client.IsConnected())
            client.Disconnect();
        return failure;
    }

    TestCertificates certificates;
};

TEST_F(TlsEmptyRecordsTest, MoreThan32InARowBreakTheStream)
{
    VM_SKIP_WITHOUT_PRIVATE_NETWORK();
    EXPECT_EQ(TypeTwiceAfter(32), "");
    EXPECT_EQ(TypeTwiceAfter(33), "Connection closed by the peer");
}

}  // namespace
