#pragma once
// Files signed by their maker: the maker's public key, read from a PEM file,
// and the check of an ECDSA P-256 signature (SHA-256, strict DER) over a
// file's bare name, one LF and its bytes. The name is part of what is signed,
// so that a signature of one file does not pass for another's.
#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace Signature {

// A key file larger than this is no key file.
constexpr std::size_t MaxKeyFileBytes = 16 * 1024;
// A strict DER signature of P-256 takes at most 72 bytes; anything near this is not one.
constexpr std::size_t MaxSignatureBytes = 4096;

// What a signature check found.
enum class Verdict {
    Good,         // the key's signature of this name and these bytes
    NotStrictDer, // empty, too long, or not the one DER encoding of two integers
    Mismatch,     // well formed, but not this key's signature of this name and bytes
};

// The bytes that are signed: Name (the file's bare name, no directory), one LF, Bytes.
std::string SignedMessage(std::string_view name, std::string_view bytes);

namespace detail {
class Sha256;
}

// SHA-256 of the signed message of one file, taken piece by piece as its bytes
// are read: a file is checked without its bytes ever in memory at once.
class MessageDigest {
public:
    // The message begins with the file's bare name and one LF.
    explicit MessageDigest(std::string_view name);
    ~MessageDigest();
    MessageDigest(const MessageDigest &) = delete;
    MessageDigest &operator=(const MessageDigest &) = delete;

    // The next bytes of the file.
    void Add(std::string_view bytes);

    using Value = std::array<unsigned char, 32>;
    // The digest of all that was added; none when the system could not hash.
    // Nothing may be added afterwards.
    std::optional<Value> Finish();

private:
    std::unique_ptr<detail::Sha256> sha256_;
};

// The bytes of the key file at Path (UTF-8); none when it is missing or
// unreadable, not a regular file, or larger than MaxKeyFileBytes.
std::optional<std::string> ReadKeyFile(const std::string &path);
// The same for a signature file, at most MaxSignatureBytes.
std::optional<std::string> ReadSignatureFile(const std::string &path);

class PublicKey {
public:
    // The key of a key file's bytes: one PEM block "PUBLIC KEY" holding an
    // ECDSA key on the named curve P-256 with an uncompressed point; a UTF-8
    // BOM first and CR LF line ends allowed. None for anything else (a
    // private key, a certificate, another curve, explicit parameters).
    static std::optional<PublicKey> FromPem(std::string_view fileBytes);

    // Whether Signature is this key's signature of the file Name with Bytes.
    Verdict Verify(std::string_view name, std::string_view bytes, std::string_view signature) const;
    // The same over the file whose name and bytes Digest has taken; finishes it.
    Verdict Verify(MessageDigest &digest, std::string_view signature) const;

    // The point: 0x04, then X and Y, 32 bytes each, big-endian.
    using Point = std::array<unsigned char, 65>;

private:
    explicit PublicKey(const Point &point) : point_(point) {}
    Point point_;
};

}  // namespace Signature
