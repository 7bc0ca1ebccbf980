#pragma once
// DER as a key file holds it, in OpenSSL's base64 rather than the reader's
// own, so that the fuzzed bytes reach what lies past the armour.
#include <openssl/evp.h>

#include <string>
#include <string_view>

inline std::string Armoured(std::string_view label, std::string_view der)
{
    std::string base64(4 * ((der.size() + 2) / 3) + 1, '\0');
    base64.resize(EVP_EncodeBlock(reinterpret_cast<unsigned char *>(base64.data()),
                                  reinterpret_cast<const unsigned char *>(der.data()), static_cast<int>(der.size())));
    const std::string name(label);
    return "-----BEGIN " + name + "-----\n" + base64 + "\n-----END " + name + "-----\n";
}
