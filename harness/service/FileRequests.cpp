// What a session makes on the service's file system, the keys it signs with,
// and the question of its network.
#include "harness/FtpFiles.h"
#include "harness/PrivateNetwork.h"
#include "harness/TestCertificates.h"
#include "harness/TestSigningKeys.h"
#include "harness/service/SessionObject.h"

#include <memory>

namespace harness::service {

SessionObject MakeTestCertificates(const Words &)
{
    const auto certificates = std::make_shared<TestCertificates>();
    SessionObject object(certificates, {});
    const TestCertificates &made = *certificates;
    object.Add("CaFile", 0, [&made](const Words &) { return Words{made.CaFile()}; });
    object.Add("Server", 1, [&made](const Words &a) {
        const CertificateFiles files = made.Server(EnumIn(a[0], TestCertificates::Kind::Last));
        return Words{files.certFile, files.keyFile};
    });
    return object;
}

SessionObject MakeTestSigningKeys(const Words &)
{
    using Kind = TestSigningKeys::Kind;
    const auto keys = std::make_shared<TestSigningKeys>();
    SessionObject object(keys, {});
    const TestSigningKeys &made = *keys;
    object.Add("KeyFile", 1, [&made](const Words &a) { return Words{made.KeyFile(EnumIn(a[0], Kind::Last))}; });
    object.Add("Sign", 3, [&made](const Words &a) {
        return Words{made.Sign(EnumIn(a[0], Kind::Last), a[1], a[2])};
    });
    return object;
}

SessionObject MakeTempDir(const Words &)
{
    const auto dir = std::make_shared<TempDir>();
    return SessionObject(dir, {dir->Path()});
}

// The servers run in the service's network, so that is the one that counts.
SessionObject AnswerWhyNoPrivateNetwork(const Words &) { return SessionObject(nullptr, {WhyNoPrivateNetwork()}); }

}  // namespace harness::service
