#pragma once
// Certificates for TLS tests, made when the object is built (elliptic-curve
// keys, so it costs milliseconds) and kept as PEM files until it is destroyed.
// One CA signs the certificates a client should accept and the ones it should
// reject for a single reason each.
#include "harness/FtpFiles.h"

#include <string>

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
    };

    TestCertificates();
    TestCertificates(const TestCertificates &) = delete;
    TestCertificates &operator=(const TestCertificates &) = delete;

    // The CA's certificate: what a verifying client trusts.
    std::string CaFile() const { return dir_ / "ca.pem"; }
    CertificateFiles Server(Kind kind) const;

private:
    TempDir dir_;
};

}  // namespace harness
