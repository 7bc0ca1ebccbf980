// The temporary trees and certificates of the harness service, and the
// question of its network.
#include "harness/FtpFiles.h"
#include "harness/PrivateNetwork.h"
#include "harness/TestCertificates.h"

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

// The servers run in the service's network namespace, so that is the one that counts.
std::string WhyNoPrivateNetwork() { return ServiceSession("WhyNoPrivateNetwork").Made(1)[0]; }

}  // namespace harness
