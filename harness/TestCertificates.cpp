#include "harness/TestCertificates.h"

#include "harness/OpenSslText.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/ecdsa.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>

namespace harness {

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Cert = std::unique_ptr<X509, decltype(&X509_free)>;

[[noreturn]] void Fail(const std::string &what) { openssl::Fail("test certificate", what); }

void Check(int result, const char *what)
{
    if (result <= 0)
        Fail(what);
}

Key NewKey()
{
    Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"), EVP_PKEY_free);
    if (!key)
        Fail("key generation");
    return key;
}

void AddExtension(X509 *cert, X509 *issuer, int nid, const char *value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        Fail(std::string("extension ") + value);
    const int added = X509_add_ext(cert, extension, -1);
    X509_EXTENSION_free(extension);
    Check(added, "adding an extension");
}

// Whether both values of the certificate's ECDSA signature take the curve's
// full 32 bytes. Wine's crypt32 takes a signature with a shorter one (about
// one in a hundred) for a broken signature, where OpenSSL and Windows do not.
bool SignatureValuesWhole(const X509 *cert)
{
    const ASN1_BIT_STRING *signature = nullptr;
    X509_get0_signature(&signature, nullptr, cert);
    const unsigned char *bytes = signature->data;
    const std::unique_ptr<ECDSA_SIG, decltype(&ECDSA_SIG_free)> values(
        d2i_ECDSA_SIG(nullptr, &bytes, signature->length), ECDSA_SIG_free);
    if (!values)
        return false;
    const BIGNUM *r = nullptr;
    const BIGNUM *s = nullptr;
    ECDSA_SIG_get0(values.get(), &r, &s);
    return BN_num_bytes(r) == 32 && BN_num_bytes(s) == 32;
}

// Signs until the signature's values are whole (see SignatureValuesWhole),
// so that the Windows tests under wine see no refusal that is not the
// certificate's own; each signature is new, so a few tries suffice.
void Sign(X509 *cert, EVP_PKEY *key)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        Check(X509_sign(cert, key, EVP_sha256()), "signing");
        if (SignatureValuesWhole(cert))
            return;
    }
    Fail("a signature of whole values");
}

struct Validity {
    long fromSeconds;  // relative to now
    long untilSeconds;
};

constexpr long kDay = 24 * 60 * 60;
constexpr Validity kNow{-kDay, 30 * kDay};

// Issuer and IssuerKey null: self-signed. Names empty: a CA. Purposes: the
// extended key usage of a server's certificate, none when empty.
Cert MakeCert(EVP_PKEY *key, const std::string &commonName, const std::string &names, const std::string &purposes,
              Validity validity, long serial, X509 *issuer, EVP_PKEY *issuerKey)
{
    Cert cert(X509_new(), X509_free);
    if (!cert)
        Fail("X509_new");
    Check(X509_set_version(cert.get(), X509_VERSION_3), "version");
    Check(ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial), "serial");
    if (!X509_gmtime_adj(X509_getm_notBefore(cert.get()), validity.fromSeconds) ||
        !X509_gmtime_adj(X509_getm_notAfter(cert.get()), validity.untilSeconds))
        Fail("validity");
    Check(X509_set_pubkey(cert.get(), key), "public key");
    X509_NAME *subject = X509_get_subject_name(cert.get());
    Check(X509_NAME_add_entry_by_txt(subject, "O", MBSTRING_ASC,
                                     reinterpret_cast<const unsigned char *>("vm_ftp harness"), -1, -1, 0),
          "organization");
    Check(X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                                     reinterpret_cast<const unsigned char *>(commonName.c_str()), -1, -1, 0),
          "common name");
    X509 *signer = issuer ? issuer : cert.get();
    Check(X509_set_issuer_name(cert.get(), X509_get_subject_name(signer)), "issuer");
    AddExtension(cert.get(), signer, NID_subject_key_identifier, "hash");
    if (issuer)
        AddExtension(cert.get(), signer, NID_authority_key_identifier, "keyid:always");
    if (names.empty()) {
        AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(cert.get(), signer, NID_key_usage, "critical,digitalSignature");
        if (!purposes.empty())
            AddExtension(cert.get(), signer, NID_ext_key_usage, purposes.c_str());
        AddExtension(cert.get(), signer, NID_subject_alt_name, names.c_str());
    }
    Sign(cert.get(), issuerKey ? issuerKey : key);
    return cert;
}

template <typename Write>
std::string Pem(Write write)
{
    return openssl::Pem("test certificate", write);
}

std::string CertPem(X509 *cert)
{
    return Pem([cert](BIO *bio) { return PEM_write_bio_X509(bio, cert); });
}

std::string KeyPem(EVP_PKEY *key)
{
    return Pem([key](BIO *bio) { return PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr); });
}

const char *FileStem(TestCertificates::Kind kind)
{
    switch (kind) {
    case TestCertificates::Kind::Good: return "good";
    case TestCertificates::Kind::OtherName: return "other-name";
    case TestCertificates::Kind::Expired: return "expired";
    case TestCertificates::Kind::NotYetValid: return "not-yet-valid";
    case TestCertificates::Kind::SelfSigned: return "self-signed";
    case TestCertificates::Kind::ClientAuthOnly: return "client-auth-only";
    case TestCertificates::Kind::NoExtendedKeyUsage: return "no-extended-key-usage";
    }
    throw std::logic_error("unknown certificate kind");
}

}  // namespace

TestCertificates::TestCertificates()
{
    const Key caKey = NewKey();
    const Cert ca = MakeCert(caKey.get(), "vm_ftp harness CA", "", "", kNow, 1, nullptr, nullptr);
    dir_.Write("ca.pem", CertPem(ca.get()));

    const std::string rightNames = "IP:127.0.0.1,IP:::1,DNS:localhost";
    struct Plan {
        Kind kind;
        std::string names;
        std::string purposes;
        Validity validity;
        bool fromCa;
    };
    const Plan plans[] = {
        {Kind::Good, rightNames, "serverAuth", kNow, true},
        {Kind::OtherName, "DNS:other.example", "serverAuth", kNow, true},
        {Kind::Expired, rightNames, "serverAuth", {-30 * kDay, -kDay}, true},
        {Kind::NotYetValid, rightNames, "serverAuth", {kDay, 30 * kDay}, true},
        {Kind::SelfSigned, rightNames, "serverAuth", kNow, false},
        {Kind::ClientAuthOnly, rightNames, "clientAuth", kNow, true},
        {Kind::NoExtendedKeyUsage, rightNames, "", kNow, true},
    };
    long serial = 2;
    for (const Plan &plan : plans) {
        const Key key = NewKey();
        const Cert cert = MakeCert(key.get(), plan.names == rightNames ? "localhost" : "other.example", plan.names,
                                   plan.purposes, plan.validity, serial++, plan.fromCa ? ca.get() : nullptr,
                                   plan.fromCa ? caKey.get() : nullptr);
        const std::string stem = FileStem(plan.kind);
        dir_.Write(stem + ".pem", CertPem(cert.get()));
        dir_.Write(stem + "-key.pem", KeyPem(key.get()));
    }
}

std::string TestCertificates::CaFile() const { return dir_ / "ca.pem"; }

CertificateFiles TestCertificates::Server(Kind kind) const
{
    const std::string stem = FileStem(kind);
    return {dir_ / (stem + ".pem"), dir_ / (stem + "-key.pem")};
}

}  // namespace harness
