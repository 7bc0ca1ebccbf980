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

bool Verifies(const PublicKey::Point &point, std::string_view message, std::string_view der, const RawSignature &)
{
    const Key key = KeyOf(point);
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    const bool good =
        key && context && EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
        EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char *>(der.data()), der.size(),
                         reinterpret_cast<const unsigned char *>(message.data()), message.size()) == 1;
    ERR_clear_error();
    return good;
}

}  // namespace Signature::detail
