#pragma once
// The maker's side of signed files: making a P-256 key pair and signing a
// file's bare name, one LF and its bytes with it, in the form the checker's
// signature check reads. The checker never links this; the maker's tool does.
#include "platform/Secret.h"
#include "platform/Signature.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Signing {

// A private key with its public point, as the key files hold them.
struct KeyPair {
    std::array<unsigned char, 32> secret; // big-endian
    Signature::PublicKey::Point point;
    ~KeyPair() { Secret::Wipe(secret.data(), secret.size()); }
};

// PBKDF2's iterations in the keys this tool encrypts, and the most it reads:
// more would let a key file keep the tool busy for minutes.
inline constexpr std::uint32_t WrittenIterations = 600000;
inline constexpr std::uint32_t MostIterations = 10000000;

// The two files of a key pair: PEM "ENCRYPTED PRIVATE KEY" (PKCS#8 in
// PBES2: PBKDF2 with HMAC-SHA-256, AES-256-CBC) or, without a passphrase,
// "PRIVATE KEY"; and "PUBLIC KEY".
struct KeyFiles {
    Secret::Text privateKey;
    std::string publicKey;
};

// A new key pair's files, the private key encrypted with Passphrase (UTF-8)
// unless there is none; none when the system cannot make or encrypt one.
std::optional<KeyFiles> NewKeyFiles(std::optional<std::string_view> passphrase);

class PrivateKey {
public:
    // What a private key file's bytes hold.
    enum class Reading {
        Read,
        NoPassphrase,      // encrypted, and no passphrase was given
        OtherEncryption,   // PBES1, scrypt, another cipher or PRF, a Proc-Type header
        TooManyIterations, // PBKDF2 with more than MostIterations
        WrongPassphrase,   // a wrong passphrase or a damaged key: the two look the same
        NotAKey,           // anything but a P-256 key with its public point
    };
    // The passphrase of an encrypted key, asked only once the key file is
    // known to be one this tool can decrypt; none when there is none.
    using AskPassphrase = std::function<std::optional<Secret::Text>()>;

    // The key of a PEM "PRIVATE KEY" (PKCS#8), "EC PRIVATE KEY" (SEC1) or
    // "ENCRYPTED PRIVATE KEY" (PKCS#8 in PBES2: PBKDF2 with HMAC-SHA-1 or
    // HMAC-SHA-256, AES-128, -192 or -256 in CBC mode); none, with Why set,
    // for anything else.
    static std::optional<PrivateKey> FromPem(std::string_view fileBytes, const AskPassphrase &ask, Reading &why);

    // The key's signature of the file Name with Bytes, in strict DER; none
    // when the system cannot sign or the signature would not pass the
    // checker's own check (a key whose halves do not belong together).
    std::optional<std::string> Sign(std::string_view name, std::string_view bytes) const;

private:
    explicit PrivateKey(const KeyPair &pair) : pair_(pair) {}
    KeyPair pair_;
};

// What writing a new key file came to.
enum class Creation { Written, Exists, Failed };

// Writes Contents to a new file at Path (UTF-8), never over anything of that
// name; a failed write leaves no file. A private key is readable by its
// owner alone, a public key by anyone and writable by its owner alone: modes
// 0600 and 0644 on Linux; on Windows a protected access list, set as the
// file is made, for the user running the tool.
enum class Readers { OwnerOnly, Anyone };
Creation WriteNewFile(const std::string &path, std::string_view contents, Readers readers);

// Puts Contents in place of the file at Path (UTF-8), whole or not at all: a
// new file beside it, on the disk before it is renamed onto Path. A symbolic
// link at Path is itself replaced, and the file it led to never written.
// False, with Path as it was, when no file can be made beside it (never
// written in place then), or Path is a folder, read-only or no regular file.
bool ReplaceFile(const std::string &path, std::string_view contents);

} // namespace Signing
