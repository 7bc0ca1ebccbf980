// The FTPS side of the test servers, checked with an independent verifying
// client (Python's ftplib over OpenSSL), so that a failing client test can be
// told apart from a broken server or certificate.
#include "tests/ftp/HarnessFixture.h"
#include "harness/FtpFiles.h"
#include "harness/PrivateNetwork.h"
#include "harness/RealFtpServers.h"
#include "harness/ScriptedFtpServer.h"
#include "harness/TestCertificates.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <ostream>

using namespace harness;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// Runs the probe in Mode ("active" or "passive") and returns what it printed.
// Fresh: the data connection starts a session of its own instead of resuming.
std::string Probe(const FtpEndpoint &server, const std::string &caFile, const std::string &remote,
                  const std::string &local, const std::string &mode, bool fresh = false)
{
    const std::string command = "timeout 60 /usr/bin/python3 " VM_HARNESS_DIR "/ftps_probe.py " + server.Host() +
                                " " + std::to_string(server.Port()) + " " + caFile + " " + remote + " " + local +
                                " " + mode + (fresh ? " fresh" : "") + " 2>&1";
    return OutputOf(command);
}

// The scripted server as an endpoint the probe can be pointed at.
class Scripted : public FtpEndpoint {
public:
    explicit Scripted(const ScriptedFtpServer &server)
    {
        host_ = server.Host();
        port_ = server.Port();
    }
};

class TlsHarnessTest : public HarnessTest {
protected:
    TestCertificates certificates;
};

TEST_F(TlsHarnessTest, VsftpdServesTheTreeOverTlsInBothModesResumingTheSession)
{
    VsftpdServer server(files.Path(), certificates.Server(TestCertificates::Kind::Good));
    for (const std::string mode : {"active", "passive"}) {
        const std::string output =
            Probe(server, certificates.CaFile(), "pub/news/file.bin", local / mode, mode);
        EXPECT_THAT(output, MatchesRegex("(.|\n)*control TLSv1\\.[23]\n(.|\n)*data TLSv1\\.[23] resumed\n"
                                         "226 (.|\n)*"))
            << mode << "\n" << server.Log();
        EXPECT_TRUE(local.Read(mode) == content) << mode << ": " << local.Read(mode).size() << " bytes";
    }
}

// For a client that cannot resume (wine's SChannel).
TEST_F(TlsHarnessTest, VsftpdToldNotToInsistOnResumptionServesAFreshSession)
{
    VsftpdServer server(files.Path(), certificates.Server(TestCertificates::Kind::Good),
                        VsftpdServer::DataModes::ActiveAndPassive, "127.0.0.1",
                        VsftpdServer::SessionReuse::NotRequired);
    const std::string output =
        Probe(server, certificates.CaFile(), "pub/news/file.bin", local / "out", "passive", true);
    EXPECT_THAT(output, MatchesRegex("(.|\n)*data TLSv1\\.[23] new\n226 (.|\n)*")) << server.Log();
    EXPECT_TRUE(local.Read("out") == content) << local.Read("out").size() << " bytes";
}

TEST_F(TlsHarnessTest, PyftpdlibServesTheTreeOverTls)
{
    PyftpdlibServer server(files.Path(), certificates.Server(TestCertificates::Kind::Good));
    const std::string output = Probe(server, certificates.CaFile(), "pub/news/file.bin", local / "out", "passive");
    EXPECT_THAT(output, MatchesRegex("(.|\n)*control TLSv1\\.[23]\n(.|\n)*data TLSv1\\.[23] [a-z]+\n226 (.|\n)*"));
    EXPECT_TRUE(local.Read("out") == content) << local.Read("out").size() << " bytes";
}

// The scripted server up to the data connection of a protected passive RETR.
void ProtectedRetr(ScriptedFtpServer &server, const CertificateFiles &certificate)
{
    server.Send("220 Ready.\r\n")
        .Reply("234 Go ahead.\r\n")
        .StartTls(certificate.certFile, certificate.keyFile)
        .Reply("331 Password.\r\n")
        .Reply("230 In.\r\n")
        .Reply("200 PBSZ=0\r\n")
        .Reply("200 Protected.\r\n")
        .DataTls(true)
        .Reply("200 Type.\r\n")
        .ReplyPassive("227 Entering Passive Mode (127,0,0,1,{p1},{p2}).\r\n")
        // A client starts the data connection's handshake once RETR is answered.
        .Reply("150 Here (3 bytes).\r\n")
        .AcceptData()
        .SendData("abc");
}

TEST_F(TlsHarnessTest, ScriptedServerSpeaksTlsOnControlAndData)
{
    ScriptedFtpServer server;
    ProtectedRetr(server, certificates.Server(TestCertificates::Kind::Good));
    server.CloseData().Send("226 Done.\r\n");
    server.Start();
    const std::string output = Probe(Scripted(server), certificates.CaFile(), "x.bin", local / "out", "passive");
    EXPECT_EQ(local.Read("out"), "abc") << output;
    EXPECT_THAT(output, HasSubstr("221 Goodbye."));
    EXPECT_THAT(server.Transcript(), ElementsAre("AUTH TLS", "USER anonymous", "PASS probe@example.org", "PBSZ 0",
                                                 "PROT P", "TYPE I", "PASV", "RETR x.bin", "QUIT"));
    EXPECT_THAT(server.DataTlsSessionsReused(), ElementsAre(true));
    EXPECT_EQ(server.TlsFailure(), "");
    EXPECT_TRUE(server.Errors().empty());
}

// The client's end of the TLS session fails: the close was no TLS close.
TEST_F(TlsHarnessTest, ScriptedServerCanCutTheDataConnectionShortOfTlsShutdown)
{
    ScriptedFtpServer server;
    ProtectedRetr(server, certificates.Server(TestCertificates::Kind::Good));
    server.CloseDataWithoutTlsShutdown().Send("226 Done.\r\n");
    server.Start();
    const std::string output = Probe(Scripted(server), certificates.CaFile(), "x.bin", local / "out", "passive");
    EXPECT_THAT(output, HasSubstr("UNEXPECTED_EOF_WHILE_READING"));
    EXPECT_THAT(output, Not(HasSubstr("226 Done.")));
    EXPECT_EQ(local.Read("out"), "abc");
    EXPECT_TRUE(server.Errors().empty());
}

struct BadCertificate {
    TestCertificates::Kind kind;
    const char *clientSays;
};

std::string NameOf(TestCertificates::Kind kind)
{
    switch (kind) {
    case TestCertificates::Kind::Good: return "Good";
    case TestCertificates::Kind::OtherName: return "OtherName";
    case TestCertificates::Kind::Expired: return "Expired";
    case TestCertificates::Kind::NotYetValid: return "NotYetValid";
    case TestCertificates::Kind::SelfSigned: return "SelfSigned";
    case TestCertificates::Kind::ClientAuthOnly: return "ClientAuthOnly";
    case TestCertificates::Kind::NoExtendedKeyUsage: return "NoExtendedKeyUsage";
    }
    return "Unknown";
}

// Names the case where gtest and ctest list it.
void PrintTo(const BadCertificate &bad, std::ostream *out) { *out << NameOf(bad.kind); }

class TlsHarnessBadCertificateTest : public TlsHarnessTest,
                                     public ::testing::WithParamInterface<BadCertificate> {};

TEST_P(TlsHarnessBadCertificateTest, AVerifyingClientRefusesIt)
{
    const CertificateFiles bad = certificates.Server(GetParam().kind);
    ScriptedFtpServer server;
    server.Send("220 Ready.\r\n").Reply("234 Go ahead.\r\n").StartTls(bad.certFile, bad.keyFile).Reply("331 Password.\r\n");
    server.Start();
    const std::string output = Probe(Scripted(server), certificates.CaFile(), "x.bin", local / "out", "passive");
    EXPECT_THAT(output, HasSubstr(std::string("certificate verify failed: ") + GetParam().clientSays));
    // The probe may be done before the server has seen its handshake end.
    server.WaitUntilDone();
    EXPECT_THAT(server.TlsFailure(), StartsWith("control: "));
    EXPECT_THAT(server.Transcript(), ElementsAre("AUTH TLS"));
    EXPECT_TRUE(server.Errors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TlsHarnessBadCertificateTest,
    ::testing::Values(BadCertificate{TestCertificates::Kind::OtherName, "IP address mismatch"},
                      BadCertificate{TestCertificates::Kind::Expired, "certificate has expired"},
                      BadCertificate{TestCertificates::Kind::NotYetValid, "certificate is not yet valid"},
                      BadCertificate{TestCertificates::Kind::SelfSigned, "self-signed certificate"},
                      BadCertificate{TestCertificates::Kind::ClientAuthOnly, "unsuitable certificate purpose"}),
    [](const ::testing::TestParamInfo<BadCertificate> &tested) { return NameOf(tested.param.kind); });

}  // namespace
