#pragma once
// One file as the maker signed it, for the signature targets: the public key
// (made once with openssl, P-256), the file's bare name and bytes, and the
// signature openssl made of them. ECDSA takes (r, n - s) as well as (r, s),
// so the twin passes too; only the maker's private key makes either.
#include "platform/Signature.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace MakerSignature {

using namespace std::string_view_literals;

constexpr std::string_view KeyPem = "-----BEGIN PUBLIC KEY-----\n"
                                    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEhhxiEMzRSJFHOu1pHE6429lb9n1N\n"
                                    "wQRkIgQuQbZNyyntrIURgkczYIc8QZB/sPScC0EzbRziyHekvZjqxoM6Ag==\n"
                                    "-----END PUBLIC KEY-----\n";

constexpr std::string_view Name = "or_news.inf";
constexpr std::string_view Bytes = "[Program]\r\nWersja=7.2\r\nLastUpd=2026/12/01\r\n";

// Also fuzz/corpus/signature/good and good-twin.
constexpr std::string_view Genuine =
    "\x30\x45\x02\x20\x56\xc6\xb1\x52\x9d\x08\x86\x45\xaa\xc6\x91\x43\xd6\xcb\x1f\xfd\xb7\x0c\x86\xb7\xfe\xab\x58"
    "\x28\x46\x21\xaf\x01\x9f\xdb\xb8\x38\x02\x21\x00\xe6\x0f\xc9\x81\xc6\xe4\x10\xc0\xf3\xf3\x09\xd9\x62\xee\xb1"
    "\x20\xbb\x7c\x2d\x37\x65\x5b\x29\xb0\xc8\xb9\x56\x31\x57\x00\xf2\x52"sv;
constexpr std::string_view Twin =
    "\x30\x44\x02\x20\x56\xc6\xb1\x52\x9d\x08\x86\x45\xaa\xc6\x91\x43\xd6\xcb\x1f\xfd\xb7\x0c\x86\xb7\xfe\xab\x58"
    "\x28\x46\x21\xaf\x01\x9f\xdb\xb8\x38\x02\x20\x19\xf0\x36\x7d\x39\x1b\xef\x40\x0c\x0c\xf6\x26\x9d\x11\x4e\xdf"
    "\x01\x6a\xcd\x76\x41\xbc\x74\xd4\x2b\x00\x74\x91\xa5\x62\x32\xff"sv;

// The maker's key, once it is known to pass the maker's signature: otherwise
// no input could, and the targets' checks would prove nothing.
inline const Signature::PublicKey &Key()
{
    static const std::optional<Signature::PublicKey> key = [] {
        std::optional<Signature::PublicKey> pem = Signature::PublicKey::FromPem(KeyPem);
        if (!pem || pem->Verify(Name, Bytes, Genuine) != Signature::Verdict::Good) {
            std::fprintf(stderr, "the maker's key or signature is refused\n");
            std::abort();
        }
        return pem;
    }();
    return *key;
}

} // namespace MakerSignature
