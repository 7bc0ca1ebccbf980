// Key making and signing with OpenSSL 3.
#include "platform/signing/detail/KeyDer.h"
#include "platform/signing/detail/SigningSystem.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/x509.h>

#include <memory>

namespace Signing::detail {

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

// Pair's key, read back from the PKCS#8 that the key file holds.
Key KeyOf(const KeyPair &pair)
{
    const KeyDer::Bytes der = KeyDer::Pkcs8(pair);
    const unsigned char *at = der.data();
    return Key(d2i_AutoPrivateKey(nullptr, &at, static_cast<long>(der.size())), EVP_PKEY_free);
}

std::optional<KeyPair> PairOf(EVP_PKEY *key)
{
    KeyPair pair{};
    BIGNUM *secret = nullptr;
    std::size_t pointSize = 0;
    const bool read = EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_PRIV_KEY, &secret) == 1 &&
                      BN_bn2binpad(secret, pair.secret.data(), int(pair.secret.size())) == int(pair.secret.size()) &&
                      EVP_PKEY_get_octet_string_param(key, OSSL_PKEY_PARAM_PUB_KEY, pair.point.data(),
                                                      pair.point.size(), &pointSize) == 1 &&
                      pointSize == pair.point.size() && pair.point[0] == 0x04;
    BN_clear_free(secret);
    if (!read)
        return std::nullopt;
    return pair;
}

} // namespace

std::optional<KeyPair> GenerateKeyPair()
{
    const Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"), EVP_PKEY_free);
    std::optional<KeyPair> pair = key ? PairOf(key.get()) : std::nullopt;
    ERR_clear_error();
    return pair;
}

std::optional<Signature::detail::RawSignature> SignMessage(const KeyPair &pair, std::string_view message)
{
    const Key key = KeyOf(pair);
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    const auto *data = reinterpret_cast<const unsigned char *>(message.data());
    unsigned char der[80];
    std::size_t size = sizeof der;
    const bool signed_ = key && context &&
                         EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
                         EVP_DigestSign(context.get(), der, &size, data, message.size()) == 1;
    ERR_clear_error();
    if (!signed_)
        return std::nullopt;
    // OpenSSL gives DER; R and S are taken out of it, and the shared code
    // writes the one DER the checker compares with.
    const unsigned char *at = der;
    const std::unique_ptr<ECDSA_SIG, decltype(&ECDSA_SIG_free)> signature(
        d2i_ECDSA_SIG(nullptr, &at, static_cast<long>(size)), ECDSA_SIG_free);
    Signature::detail::RawSignature raw{};
    if (!signature || BN_bn2binpad(ECDSA_SIG_get0_r(signature.get()), raw.data(), 32) != 32 ||
        BN_bn2binpad(ECDSA_SIG_get0_s(signature.get()), raw.data() + 32, 32) != 32)
        return std::nullopt;
    return raw;
}

bool RandomBytes(std::span<unsigned char> out)
{
    const bool made = RAND_bytes(out.data(), static_cast<int>(out.size())) == 1;
    ERR_clear_error();
    return made;
}

bool DeriveKey(Prf prf, std::string_view passphrase, std::span<const unsigned char> salt, std::uint32_t iterations,
               std::span<unsigned char> key)
{
    const bool derived =
        PKCS5_PBKDF2_HMAC(passphrase.data(), static_cast<int>(passphrase.size()), salt.data(),
                          static_cast<int>(salt.size()), static_cast<int>(iterations),
                          prf == Prf::HmacSha1 ? EVP_sha1() : EVP_sha256(), static_cast<int>(key.size()), key.data()) == 1;
    ERR_clear_error();
    return derived;
}

bool AesCbc(Direction direction, std::span<const unsigned char> key, std::span<const unsigned char> iv,
            std::span<const unsigned char> in, std::span<unsigned char> out)
{
    const EVP_CIPHER *cipher = key.size() == 16   ? EVP_aes_128_cbc()
                               : key.size() == 24 ? EVP_aes_192_cbc()
                               : key.size() == 32 ? EVP_aes_256_cbc()
                                                  : nullptr;
    // Freeing the context wipes its key schedule.
    const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                                  EVP_CIPHER_CTX_free);
    int written = 0, last = 0;
    const bool done =
        cipher && context && iv.size() == 16 && out.size() >= in.size() &&
        EVP_CipherInit_ex(context.get(), cipher, nullptr, key.data(), iv.data(), direction == Direction::Encrypt) == 1 &&
        EVP_CIPHER_CTX_set_padding(context.get(), 0) == 1 &&
        EVP_CipherUpdate(context.get(), out.data(), &written, in.data(), static_cast<int>(in.size())) == 1 &&
        EVP_CipherFinal_ex(context.get(), out.data() + written, &last) == 1 &&
        static_cast<std::size_t>(written + last) == in.size();
    ERR_clear_error();
    return done;
}

} // namespace Signing::detail
