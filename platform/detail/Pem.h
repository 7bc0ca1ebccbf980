#pragma once
// The PEM armour of key files: one block "-----BEGIN LABEL-----", base64,
// "-----END LABEL-----". The public key's reader and the maker's signing
// tool read it the same way. What it decodes may be a private key: every
// buffer it fills is wiped when freed.
#include "platform/Secret.h"

#include <optional>
#include <string>
#include <string_view>

namespace Pem {

struct Block {
    std::string label;
    // Header lines ("Proc-Type: 4,ENCRYPTED") before the base64: the body
    // is then not decoded and Der stays empty.
    bool headers = false;
    Secret::Bytes der;
};

// The one block that is all of Text but blank lines around it, a UTF-8 BOM
// first and CR LF line ends allowed; none for anything else (text before or
// after the block, BEGIN and END of different labels, bad base64).
std::optional<Block> OnlyBlock(std::string_view text);

} // namespace Pem
