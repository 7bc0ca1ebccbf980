// The news reader on any bytes: it must finish without a fault and keep the
// rules every document it builds obeys.
#include "rtf/RtfReader.h"
#include "tests/rtf/DocumentChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::string fault = rtfcheck::DocumentFault(Rtf::Read(bytes), size);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
