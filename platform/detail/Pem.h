#pragma once
// The PEM armour of key files: one block "-----BEGIN LABEL-----", base64,
// "-----END LABEL-----". The public key's reader and the maker's signing
// tool read it the same way.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Pem {

struct Block {
    std::string label;
    // Header lines ("Proc-Type: 4,ENCRYPTED") before the base64: the body
    // is then not decoded and Der stays empty.
    bool headers = false;
    std::vector<unsigned char> der;
};

// The one block that is all of Text but blank lines around it, a UTF-8 BOM
// first and CR LF line ends allowed; none for anything else (text before or
// after the block, BEGIN and END of different labels, bad base64).
std::optional<Block> OnlyBlock(std::string_view text);

} // namespace Pem
