// What a private key file holds: any bytes as the DER of each kind of key
// file the maker's tool reads. None ever fails; an encrypted key is never
// taken without its passphrase, which is asked only of a key the tool can
// decrypt within its iteration limit; a key taken signs, or says it cannot.
#include "fuzz/Armoured.h"
#include "platform/signing/Signing.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    using Reading = Signing::PrivateKey::Reading;
    const std::string_view der(reinterpret_cast<const char *>(data), size);
    for (const std::string_view label : {"ENCRYPTED PRIVATE KEY", "PRIVATE KEY", "EC PRIVATE KEY"}) {
        const bool encrypted = label == "ENCRYPTED PRIVATE KEY";
        bool asked = false;
        Reading why = Reading::Read;
        // Never a passphrase: a key that asks may say ten million iterations.
        const std::optional<Signing::PrivateKey> key = Signing::PrivateKey::FromPem(
            Armoured(label, der),
            [&asked]() -> std::optional<Secret::Text> {
                asked = true;
                return std::nullopt;
            },
            why);
        if (asked != (why == Reading::NoPassphrase) || (asked && !encrypted))
            Fail("the passphrase asked of a key that cannot use it, or a key that asked ends otherwise");
        if (encrypted && (key || why == Reading::Read || why == Reading::NotAKey))
            Fail("an encrypted key taken, or not told for one, without its passphrase");
        if (!encrypted && (key.has_value() != (why == Reading::Read) ||
                           (why != Reading::Read && why != Reading::NotAKey)))
            Fail("a plain key told for anything but taken or not a key");
        if (key)
            key->Sign("or_news.inf", der);
    }
    return 0;
}
