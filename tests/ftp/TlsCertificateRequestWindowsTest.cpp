// A server that asks for a client certificate. SChannel says so with
// SEC_I_INCOMPLETE_CREDENTIALS, which wine never does: the handshake function
// is made to say it once, on the first call that carries the server's records.
// The handshake must go on with the same records and the same credentials,
// which hold no certificate.
#include "tests/ftp/FtpClientFixture.h"
#include "harness/TestCertificates.h"
#include "platform/net/detail/HandshakeCallWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using harness::TestCertificates;

namespace {

// What the handshake function was given on a call that carried records.
struct CallWithRecords {
    std::string records;
    CredHandle credentials;
};

std::vector<CallWithRecords> calls;

SECURITY_STATUS SEC_ENTRY AskForACertificateOnce(PCredHandle credentials, PCtxtHandle context, SEC_WCHAR *target,
                                                 ULONG requests, ULONG reserved, ULONG representation,
                                                 PSecBufferDesc input, ULONG reserved2, PCtxtHandle newContext,
                                                 PSecBufferDesc output, PULONG attributes, PTimeStamp expiry)
{
    if (input && input->cBuffers > 0 && input->pBuffers[0].cbBuffer > 0) {
        const SecBuffer &token = input->pBuffers[0];
        calls.push_back({std::string(static_cast<const char *>(token.pvBuffer), token.cbBuffer), *credentials});
        if (calls.size() == 1)
            return SEC_I_INCOMPLETE_CREDENTIALS;
    }
    return InitializeSecurityContextW(credentials, context, target, requests, reserved, representation, input,
                                      reserved2, newContext, output, attributes, expiry);
}

class TlsCertificateRequestTest : public FtpClientTest {
protected:
    TlsCertificateRequestTest()
    {
        calls.clear();
        net::HandshakeCall() = AskForACertificateOnce;
        client.UseTls = true;
        client.TrustedCaFile = certificates.CaFile();
        // Only a stalled handshake waits that long.
        client.ReplyTimeOut = 5000;
    }
    ~TlsCertificateRequestTest() override { net::RestoreHandshakeCall(); }

    TestCertificates certificates;
};

TEST_F(TlsCertificateRequestTest, HandshakeGoesOnWithTheSameRecordsAndNoCertificate)
{
    const harness::CertificateFiles pair = certificates.Server(TestCertificates::Kind::Good);
    server.Send("220 Ready.\r\n")
        .Reply("234 Proceed.\r\n")
        .StartTls(pair.certFile, pair.keyFile)
        .Reply("200 PBSZ=0\r\n")
        .Reply("200 Protection level set to P\r\n")
        .Reply("230 Logged in.\r\n");
    server.Start();
    TargetScriptedServer();
    client.Connect();
    EXPECT_TRUE(client.Secured());
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[1].records, calls[0].records);
    EXPECT_EQ(calls[1].credentials.dwLower, calls[0].credentials.dwLower);
    EXPECT_EQ(calls[1].credentials.dwUpper, calls[0].credentials.dwUpper);
}

}  // namespace
