// The signature check with OpenSSL 3.
#include "platform/detail/SignatureCheck.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <algorithm>
#include <iterator>
#include <memory>

namespace Signature::detail {

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

// The key of Point, through its SubjectPublicKeyInfo: decoding it checks
// that the point lies on the curve.
Key KeyOf(const PublicKey::Point &point)
{
    unsigned char spki[SpkiP256Size];
    std::copy(std::begin(SpkiP256Head), std::end(SpkiP256Head), spki);
    std::copy(point.begin() + 1, point.end(), spki + sizeof SpkiP256Head);
    const unsigned char *at = spki;
    Key key(d2i_PUBKEY(nullptr, &at, sizeof spki), EVP_PKEY_free);
    // A refused key leaves its reason in the thread's error queue, where a
    // later TLS call would read it as its own.
    ERR_clear_error();
    return key;
}

}  // namespace

bool AcceptsPoint(const PublicKey::Point &point) { return KeyOf(point) != nullptr; }

struct Sha256::Native {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(), EVP_MD_CTX_free};
    bool failed = !context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1;
};

Sha256::Sha256() : native_(std::make_unique<Native>()) { ERR_clear_error(); }

Sha256::~Sha256() = default;

void Sha256::Add(std::string_view bytes)
{
    if (!native_->failed && EVP_DigestUpdate(native_->context.get(), bytes.data(), bytes.size()) != 1) {
        native_->failed = true;
        ERR_clear_error();
    }
}

bool Sha256::Finish(MessageDigest::Value &digest)
{
    unsigned int size = 0;
    const bool done = !native_->failed && EVP_DigestFinal_ex(native_->context.get(), digest.data(), &size) == 1 &&
                      size == digest.size();
    native_->failed = true;
    ERR_clear_error();
    return done;
}

bool Verifies(const PublicKey::Point &point, const MessageDigest::Value &digest, std::string_view der,
              const RawSignature &)
{
    const Key key = KeyOf(point);
    const std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> context(
        key ? EVP_PKEY_CTX_new(key.get(), nullptr) : nullptr, EVP_PKEY_CTX_free);
    const bool good = context && EVP_PKEY_verify_init(context.get()) == 1 &&
                      EVP_PKEY_CTX_set_signature_md(context.get(), EVP_sha256()) == 1 &&
                      EVP_PKEY_verify(context.get(), reinterpret_cast<const unsigned char *>(der.data()), der.size(),
                                      digest.data(), digest.size()) == 1;
    ERR_clear_error();
    return good;
}

}  // namespace Signature::detail
