#pragma once
// The maker's side of signed files: making a P-256 key pair and signing a
// file's bare name, one LF and its bytes with it, in the form the checker's
// signature check reads. The checker never links this; the maker's tool does.
#include "platform/Signature.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace Signing {

// A private key with its public point, as the key files hold them.
struct KeyPair {
    std::array<unsigned char, 32> secret; // big-endian
    Signature::PublicKey::Point point;
};

// The two files of a key pair: PEM "PRIVATE KEY" (PKCS#8) and "PUBLIC KEY".
struct KeyFiles {
    std::string privateKey;
    std::string publicKey;
};

// A new key pair's files; none when the system cannot make one.
std::optional<KeyFiles> NewKeyFiles();

class PrivateKey {
public:
    // What a private key file's bytes hold.
    enum class Reading {
        Read,
        Encrypted, // "ENCRYPTED PRIVATE KEY", or a Proc-Type header
        NotAKey,   // anything but an unencrypted P-256 key with its public point
    };
    // The key of a PEM "PRIVATE KEY" (PKCS#8) or "EC PRIVATE KEY" (SEC1);
    // none, with Why set, for anything else.
    static std::optional<PrivateKey> FromPem(std::string_view fileBytes, Reading &why);

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
// owner alone (mode 0600 on Linux; on Windows the folder's permissions).
enum class Readers { OwnerOnly, Anyone };
Creation WriteNewFile(const std::string &path, std::string_view contents, Readers readers);

// Puts Contents in place of the file at Path (UTF-8), whole or not at all,
// as the settings files are saved; false when it cannot.
bool ReplaceFile(const std::string &path, std::string_view contents);

} // namespace Signing
