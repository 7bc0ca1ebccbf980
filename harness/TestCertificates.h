#pragma once
// Certificates for TLS tests, made when the object is built (elliptic-curve
// keys, so it costs milliseconds) and kept as PEM files until it is destroyed.
// One CA signs the certificates a client should accept and the ones it should
// reject for a single reason each. Built with VM_HARNESS_CLIENT, they are the
// harness service's, and their paths local paths of its files.
#include <string>

#ifdef VM_HARNESS_CLIENT
#include "harness/client/ServiceSession.h"
#else
#include "harness/FtpFiles.h"
#endif

namespace harness {

// A server's certificate and private key, as PEM files.
struct CertificateFiles {
    std::string certFile;
    std::string keyFile;
};

class TestCertificates {
public:
    enum class Kind {
        Good,         // from the CA, names IPs 127.0.0.1 and ::1 and DNS localhost, valid now
        OtherName,    // from the CA, names only DNS other.example
        Expired,      // from the CA, right names, ended yesterday
        NotYetValid,  // from the CA, right names, valid from tomorrow
        SelfSigned,   // right names, valid now, not from the CA
        // From the CA, right names, valid now, for client authentication only:
        // what a company authority issues to a person or a machine.
        ClientAuthOnly,
        NoExtendedKeyUsage,  // from the CA, right names, valid now, no purpose named
        Last = NoExtendedKeyUsage,
    };

    TestCertificates();
    TestCertificates(const TestCertificates &) = delete;
    TestCertificates &operator=(const TestCertificates &) = delete;

    // The CA's certificate: what a verifying client trusts.
    std::string CaFile() const;
    CertificateFiles Server(Kind kind) const;

private:
#ifdef VM_HARNESS_CLIENT
    ServiceSession session_;
#else
    TempDir dir_;
#endif
};

}  // namespace harness
