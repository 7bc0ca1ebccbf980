// The system's CAs stay trusted beside the program's own CA file: OpenSSL's
// bundle (read only when a chain needs it) and its hashed directory, where
// SSL_CERT_FILE and SSL_CERT_DIR put them.
#include "tests/ftp/FtpClientFixture.h"
#include "harness/TestCertificates.h"

#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

using harness::TestCertificates;

namespace {

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The name OpenSSL looks the PEM certificate up by in a hashed directory.
std::string HashedName(const std::string &pem)
{
    const std::unique_ptr<BIO, int (*)(BIO *)> bio(BIO_new_mem_buf(pem.data(), int(pem.size())), BIO_free);
    const std::unique_ptr<X509, void (*)(X509 *)> cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr),
                                                       X509_free);
    char name[16];
    std::snprintf(name, sizeof name, "%08lx.0", X509_subject_name_hash(cert.get()));
    return name;
}

class TlsSystemCasTest : public FtpClientTest {
protected:
    TlsSystemCasTest() { client.UseTls = true; }
    ~TlsSystemCasTest() override
    {
        ::unsetenv("SSL_CERT_FILE");
        ::unsetenv("SSL_CERT_DIR");
    }

    TestCertificates certificates;
};

TEST_F(TlsSystemCasTest, ServerWhoseCaOnlyTheSystemHoldsLogsIn)
{
    const std::string ca = ReadAll(certificates.CaFile());
    local.Write("bundle.pem", ca);
    local.Write("empty.pem", "");
    local.Write("hashed/" + HashedName(ca), ca);
    local.Write("none/empty.pem", "");
    const struct {
        const char *bundle;
        const char *directory;
        net::TlsFailure reason;
    } table[] = {
        {"bundle.pem", "none", net::TlsFailure::None},
        {"empty.pem", "hashed", net::TlsFailure::None},
        {"empty.pem", "none", net::TlsFailure::Untrusted},
    };
    for (const auto &row : table) {
        ::setenv("SSL_CERT_FILE", (local / row.bundle).c_str(), 1);
        ::setenv("SSL_CERT_DIR", (local / row.directory).c_str(), 1);
        harness::ScriptedFtpServer scripted("127.0.0.1");
        const harness::CertificateFiles pair = certificates.Server(TestCertificates::Kind::Good);
        scripted.Send("220 Ready.\r\n").Reply("234 Proceed.\r\n").StartTls(pair.certFile, pair.keyFile);
        scripted.Reply("200 PBSZ=0\r\n").Reply("200 Protection level set to P\r\n").Reply("230 Logged in.\r\n");
        scripted.Start();
        Target(scripted.Host(), scripted.Port());
        net::TlsFailure reason = net::TlsFailure::None;
        try {
            client.Connect();
        } catch (const ETlsError &e) {
            reason = e.Reason;
        }
        EXPECT_EQ(reason, row.reason) << row.bundle << " " << row.directory;
        EXPECT_EQ(client.Secured(), row.reason == net::TlsFailure::None) << row.bundle << " " << row.directory;
        if (client.IsConnected())
            client.Disconnect();
    }
}

}  // namespace
