// The temporary trees, certificates and signing keys of the harness service, and the
// question of its network.
#include "harness/FtpFiles.h"
#include "harness/PrivateNetwork.h"
#include "harness/TestCertificates.h"
#include "harness/TestSigningKeys.h"

#include "harness/client/ServicePaths.h"

namespace harness {

TempDir::TempDir() : session_("TempDir") { path_ = LocalPath(session_.Made(1)[0]); }

// The service removes the tree when the session ends.
TempDir::~TempDir() = default;

TestCertificates::TestCertificates() : session_("TestCertificates") {}

std::string TestCertificates::CaFile() const { return LocalPath(session_.Call("CaFile", {}, 1)[0]); }

CertificateFiles TestCertificates::Server(Kind kind) const
{
    const auto files = session_.Call("Server", {service::EnumText(kind)}, 2);
    return {LocalPath(files[0]), LocalPath(files[1])};
}

TestSigningKeys::TestSigningKeys() : session_("TestSigningKeys") {}

TestSigningKeys::~TestSigningKeys() = default;

std::string TestSigningKeys::KeyFile(Kind kind) const
{
    return session_.Call("KeyFile", {service::EnumText(kind)}, 1)[0];
}

std::string TestSigningKeys::Sign(Kind signer, const std::string &name, const std::string &bytes) const
{
    return session_.Call("Sign", {service::EnumText(signer), name, bytes}, 1)[0];
}

// The servers run in the service's network namespace, so that is the one that counts.
std::string WhyNoPrivateNetwork() { return ServiceSession("WhyNoPrivateNetwork").Made(1)[0]; }

}  // namespace harness
