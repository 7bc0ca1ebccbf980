// What a server sends as a file's signature: any bytes, checked with the
// maker's key over one file. The check never fails on them, and says Good
// only for the maker's own signature of that file.
#include "fuzz/MakerSignature.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// A strict DER signature of P-256: two integers of at most 33 bytes.
constexpr std::size_t MaxStrictDer = 72;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::string_view signature(reinterpret_cast<const char *>(data), size);
    const Signature::Verdict verdict =
        MakerSignature::Key().Verify(MakerSignature::Name, MakerSignature::Bytes, signature);
    if (verdict == Signature::Verdict::Good && signature != MakerSignature::Genuine &&
        signature != MakerSignature::Twin)
        Fail("bytes that are not the maker's signature pass");
    if (size > MaxStrictDer && verdict != Signature::Verdict::NotStrictDer)
        Fail("a signature longer than strict DER allows is taken for one");
    return 0;
}
