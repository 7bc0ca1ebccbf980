#include "harness/TestSigningKeys.h"

#include "harness/OpenSslText.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

#include <stdexcept>

namespace harness {

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

const std::string PassphraseBytes = TestSigningKeys::Passphrase;

[[noreturn]] void Fail(const std::string &what) { openssl::Fail("test signing key", what); }

Key NewKey(const char *curve)
{
    Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", curve), EVP_PKEY_free);
    if (!key)
        Fail(std::string("key generation on ") + curve);
    return key;
}

template <typename Write>
std::string Pem(Write write)
{
    return openssl::Pem("test signing key", write);
}

std::string PublicPem(EVP_PKEY *key)
{
    return Pem([key](BIO *bio) { return PEM_write_bio_PUBKEY(bio, key); });
}

// Key's public PEM after one of its encoding parameters is set to Value.
std::string PublicPemWith(EVP_PKEY *key, const char *parameter, const char *value)
{
    const Key copy(EVP_PKEY_dup(key), EVP_PKEY_free);
    if (!copy || EVP_PKEY_set_utf8_string_param(copy.get(), parameter, value) != 1)
        Fail(std::string("setting ") + parameter);
    return PublicPem(copy.get());
}

// A self-signed certificate of Key, valid for a day.
std::string CertificatePem(EVP_PKEY *key)
{
    const std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), X509_free);
    X509_NAME *subject = cert ? X509_get_subject_name(cert.get()) : nullptr;
    if (!subject || X509_set_version(cert.get(), X509_VERSION_3) != 1 ||
        ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1) != 1 ||
        !X509_gmtime_adj(X509_getm_notBefore(cert.get()), 0) ||
        !X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24 * 60 * 60) || X509_set_pubkey(cert.get(), key) != 1 ||
        X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char *>("vm_ftp harness maker"), -1, -1, 0) != 1 ||
        X509_set_issuer_name(cert.get(), subject) != 1 || X509_sign(cert.get(), key, EVP_sha256()) <= 0)
        Fail("the maker's certificate");
    return Pem([&cert](BIO *bio) { return PEM_write_bio_X509(bio, cert.get()); });
}

// Key in PKCS#8 encrypted in PBES2 with Cipher and the HMAC of Prf (an NID),
// 2048 iterations, saying Iterations: what the file says is read before
// anything is derived, and 10 million rounds would take seconds to make.
std::string EncryptedPkcs8(EVP_PKEY *key, const EVP_CIPHER *cipher, int prf, long iterations)
{
    using Algorithm = std::unique_ptr<X509_ALGOR, decltype(&X509_ALGOR_free)>;
    Algorithm pbe(PKCS5_pbe2_set_iv(cipher, 2048, nullptr, 0, nullptr, prf), X509_ALGOR_free);
    PKCS8_PRIV_KEY_INFO *info = pbe ? EVP_PKEY2PKCS8(key) : nullptr;
    const std::unique_ptr<X509_SIG, decltype(&X509_SIG_free)> encrypted(
        info ? PKCS8_set0_pbe(PassphraseBytes.data(), int(PassphraseBytes.size()), info, pbe.get()) : nullptr, X509_SIG_free);
    PKCS8_PRIV_KEY_INFO_free(info);
    if (!encrypted)
        Fail("an encrypted PKCS#8 key");
    pbe.release(); // the encrypted key's now
    X509_ALGOR *algorithm = nullptr;
    X509_SIG_getm(encrypted.get(), &algorithm, nullptr);
    if (iterations != 2048) {
        const std::unique_ptr<PBE2PARAM, decltype(&PBE2PARAM_free)> pbes2(
            static_cast<PBE2PARAM *>(ASN1_TYPE_unpack_sequence(ASN1_ITEM_rptr(PBE2PARAM), algorithm->parameter)),
            PBE2PARAM_free);
        const std::unique_ptr<PBKDF2PARAM, decltype(&PBKDF2PARAM_free)> kdf(
            pbes2 ? static_cast<PBKDF2PARAM *>(
                        ASN1_TYPE_unpack_sequence(ASN1_ITEM_rptr(PBKDF2PARAM), pbes2->keyfunc->parameter))
                  : nullptr,
            PBKDF2PARAM_free);
        if (!kdf || ASN1_INTEGER_set(kdf->iter, iterations) != 1 ||
            !ASN1_TYPE_pack_sequence(ASN1_ITEM_rptr(PBKDF2PARAM), kdf.get(), &pbes2->keyfunc->parameter) ||
            !ASN1_TYPE_pack_sequence(ASN1_ITEM_rptr(PBE2PARAM), pbes2.get(), &algorithm->parameter))
            Fail("the iteration count of an encrypted key");
    }
    return Pem([&encrypted](BIO *bio) { return PEM_write_bio_PKCS8(bio, encrypted.get()); });
}

}  // namespace

struct TestSigningKeys::Keys {
    Key maker = NewKey("P-256");
    Key other = NewKey("P-256");
    Key p384 = NewKey("P-384");
};

TestSigningKeys::TestSigningKeys() : keys_(std::make_unique<Keys>()) {}

TestSigningKeys::~TestSigningKeys() = default;

std::string TestSigningKeys::KeyFile(Kind kind) const
{
    EVP_PKEY *maker = keys_->maker.get();
    switch (kind) {
    case Kind::Good: return PublicPem(maker);
    case Kind::Other: return PublicPem(keys_->other.get());
    case Kind::Certificate: return CertificatePem(maker);
    case Kind::PrivateKey:
        return Pem([maker](BIO *bio) {
            return PEM_write_bio_PrivateKey(bio, maker, nullptr, nullptr, 0, nullptr, nullptr);
        });
    case Kind::Sec1PrivateKey:
        return Pem([maker](BIO *bio) {
            return PEM_write_bio_PrivateKey_traditional(bio, maker, nullptr, nullptr, 0, nullptr, nullptr);
        });
    case Kind::EncryptedPrivateKey:
        return Pem([maker](BIO *bio) {
            return PEM_write_bio_PKCS8PrivateKey(bio, maker, EVP_aes_256_cbc(), PassphraseBytes.data(),
                                                 int(PassphraseBytes.size()), nullptr, nullptr);
        });
    case Kind::EncryptedSec1:
        return Pem([maker](BIO *bio) {
            return PEM_write_bio_PrivateKey_traditional(bio, maker, EVP_aes_256_cbc(),
                                                        reinterpret_cast<const unsigned char *>(PassphraseBytes.data()),
                                                        int(PassphraseBytes.size()), nullptr, nullptr);
        });
    case Kind::EncryptedSha1Aes128: return EncryptedPkcs8(maker, EVP_aes_128_cbc(), NID_hmacWithSHA1, 2048);
    case Kind::EncryptedTooLong: return EncryptedPkcs8(maker, EVP_aes_256_cbc(), NID_hmacWithSHA256, 10000001);
    case Kind::P384: return PublicPem(keys_->p384.get());
    case Kind::Compressed: return PublicPemWith(maker, OSSL_PKEY_PARAM_EC_POINT_CONVERSION_FORMAT, "compressed");
    case Kind::ExplicitCurve: return PublicPemWith(maker, OSSL_PKEY_PARAM_EC_ENCODING, "explicit");
    }
    throw std::logic_error("unknown key kind");
}

std::string TestSigningKeys::Sign(Kind signer, const std::string &name, const std::string &bytes) const
{
    if (signer != Kind::Good && signer != Kind::Other)
        throw std::invalid_argument("only the maker's key and the other one sign");
    EVP_PKEY *key = signer == Kind::Good ? keys_->maker.get() : keys_->other.get();
    // What the maker's "{ printf '%s\n' NAME; cat NAME; } | openssl dgst -sha256 -sign" signs.
    const std::string message = name + "\n" + bytes;
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    std::size_t size = 0;
    const auto *data = reinterpret_cast<const unsigned char *>(message.data());
    if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key) != 1 ||
        EVP_DigestSign(context.get(), nullptr, &size, data, message.size()) != 1)
        Fail("signing");
    std::string signature(size, '\0');
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char *>(signature.data()), &size, data,
                       message.size()) != 1)
        Fail("signing");
    signature.resize(size);
    return signature;
}

}  // namespace harness
