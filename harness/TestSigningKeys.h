#pragma once
// Keys of a maker who signs release files, made when the object is built:
// the public key files a client is given, good and bad, and signatures of a
// file's bare name, one LF and its bytes (ECDSA P-256, SHA-256, DER), as the
// maker's "openssl dgst -sha256 -sign" makes them. Built with
// VM_HARNESS_CLIENT, the harness service makes and keeps them.
#include <string>

#ifdef VM_HARNESS_CLIENT
#include "harness/client/ServiceSession.h"
#else
#include <memory>
#endif

namespace harness {

class TestSigningKeys {
public:
    enum class Kind {
        Good,          // the maker's P-256 public key, PEM "PUBLIC KEY"
        Other,         // another P-256 public key
        Certificate,   // a certificate of the maker's key, PEM "CERTIFICATE"
        PrivateKey,    // the maker's private key, PEM "PRIVATE KEY"
        P384,          // a public key on the curve P-384
        Compressed,    // the maker's public key with a compressed point
        ExplicitCurve, // the maker's public key with the curve's parameters spelt out
        Sec1PrivateKey,      // the maker's private key, PEM "EC PRIVATE KEY", as "openssl ecparam -genkey" writes it
        // The maker's private key, PEM "ENCRYPTED PRIVATE KEY" (PKCS#8 in PBES2) with Passphrase, as
        // openssl writes it by default: HMAC-SHA-256, 2048 iterations, AES-256-CBC.
        EncryptedPrivateKey,
        EncryptedSec1,       // the maker's private key, "EC PRIVATE KEY" with a Proc-Type: 4,ENCRYPTED header
        EncryptedSha1Aes128, // as EncryptedPrivateKey with HMAC-SHA-1 (left out, as its default) and AES-128
        EncryptedTooLong,    // as EncryptedPrivateKey, saying 10,000,001 iterations
        Last = EncryptedTooLong,
    };
    // The passphrase of the encrypted kinds.
    static constexpr const char *Passphrase = "maker's passphrase";

    TestSigningKeys();
    ~TestSigningKeys();
    TestSigningKeys(const TestSigningKeys &) = delete;
    TestSigningKeys &operator=(const TestSigningKeys &) = delete;

    // The bytes of a key file of Kind, with LF line ends.
    std::string KeyFile(Kind kind) const;
    // The signature of the file Name with Bytes by the key of Good or Other.
    std::string Sign(Kind signer, const std::string &name, const std::string &bytes) const;

private:
#ifdef VM_HARNESS_CLIENT
    ServiceSession session_;
#else
    struct Keys;
    std::unique_ptr<Keys> keys_;
#endif
};

}  // namespace harness
