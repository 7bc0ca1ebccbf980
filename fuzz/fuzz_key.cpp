// What a key file holds: any bytes read as the key file, and the same bytes
// as the DER of a PEM block "PUBLIC KEY", so that the key's own checks are
// reached past the armour. Neither ever fails; a key taken from DER is one
// P-256 key's 91 bytes; and a key under which the maker's signature passes
// is the maker's.
#include "fuzz/Armoured.h"
#include "fuzz/MakerSignature.h"
#include "platform/detail/Pem.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// The DER of a public key of P-256 with an uncompressed point.
constexpr std::size_t SpkiP256Bytes = 91;

// The DER inside a key file that has one block.
std::string DerOf(std::string_view file)
{
    const std::optional<Pem::Block> block = Pem::OnlyBlock(file);
    return block ? std::string(block->der.begin(), block->der.end()) : std::string();
}

bool PassesTheMakersSignature(const std::optional<Signature::PublicKey> &key)
{
    return key && key->Verify(MakerSignature::Name, MakerSignature::Bytes, MakerSignature::Genuine) ==
                      Signature::Verdict::Good;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    static const std::string makerDer = DerOf(MakerSignature::KeyPem);
    // What follows proves something only while the maker's signature passes its key.
    MakerSignature::Key();
    const std::string_view input(reinterpret_cast<const char *>(data), size);

    if (PassesTheMakersSignature(Signature::PublicKey::FromPem(input)) && DerOf(input) != makerDer)
        Fail("a key file that is not the maker's passes the maker's signature");

    const std::optional<Signature::PublicKey> fromDer = Signature::PublicKey::FromPem(Armoured("PUBLIC KEY", input));
    if (fromDer && size != SpkiP256Bytes)
        Fail("a key of another length than P-256's is taken");
    if (PassesTheMakersSignature(fromDer) && input != makerDer)
        Fail("a key that is not the maker's passes the maker's signature");
    return 0;
}
