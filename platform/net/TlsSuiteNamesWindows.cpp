#include "platform/net/detail/TlsSuiteNamesWindows.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <iterator>

namespace net {
namespace {

struct Suite {
    unsigned long number;
    const char *name;
};

// The suites of TLS 1.2 and 1.3 that SChannel offers.
constexpr Suite Suites[] = {
    {0x002F, "TLS_RSA_WITH_AES_128_CBC_SHA"},
    {0x0035, "TLS_RSA_WITH_AES_256_CBC_SHA"},
    {0x003C, "TLS_RSA_WITH_AES_128_CBC_SHA256"},
    {0x003D, "TLS_RSA_WITH_AES_256_CBC_SHA256"},
    {0x009C, "TLS_RSA_WITH_AES_128_GCM_SHA256"},
    {0x009D, "TLS_RSA_WITH_AES_256_GCM_SHA384"},
    {0x009E, "TLS_DHE_RSA_WITH_AES_128_GCM_SHA256"},
    {0x009F, "TLS_DHE_RSA_WITH_AES_256_GCM_SHA384"},
    {0x1301, "TLS_AES_128_GCM_SHA256"},
    {0x1302, "TLS_AES_256_GCM_SHA384"},
    {0x1303, "TLS_CHACHA20_POLY1305_SHA256"},
    {0xC009, "TLS_ECDHE_ECDSA_WITH_AES_128_CBC_SHA"},
    {0xC00A, "TLS_ECDHE_ECDSA_WITH_AES_256_CBC_SHA"},
    {0xC013, "TLS_ECDHE_RSA_WITH_AES_128_CBC_SHA"},
    {0xC014, "TLS_ECDHE_RSA_WITH_AES_256_CBC_SHA"},
    {0xC023, "TLS_ECDHE_ECDSA_WITH_AES_128_CBC_SHA256"},
    {0xC024, "TLS_ECDHE_ECDSA_WITH_AES_256_CBC_SHA384"},
    {0xC027, "TLS_ECDHE_RSA_WITH_AES_128_CBC_SHA256"},
    {0xC028, "TLS_ECDHE_RSA_WITH_AES_256_CBC_SHA384"},
    {0xC02B, "TLS_ECDHE_ECDSA_WITH_AES_128_GCM_SHA256"},
    {0xC02C, "TLS_ECDHE_ECDSA_WITH_AES_256_GCM_SHA384"},
    {0xC02F, "TLS_ECDHE_RSA_WITH_AES_128_GCM_SHA256"},
    {0xC030, "TLS_ECDHE_RSA_WITH_AES_256_GCM_SHA384"},
    {0xCCA8, "TLS_ECDHE_RSA_WITH_CHACHA20_POLY1305_SHA256"},
    {0xCCA9, "TLS_ECDHE_ECDSA_WITH_CHACHA20_POLY1305_SHA256"},
    {0xCCAA, "TLS_DHE_RSA_WITH_CHACHA20_POLY1305_SHA256"},
};

} // namespace

std::string StandardSuiteName(unsigned long number, std::string_view systemName, unsigned int hash)
{
    const auto known = std::find_if(std::begin(Suites), std::end(Suites),
                                    [number](const Suite &suite) { return suite.number == number; });
    if (known != std::end(Suites))
        return known->name;
    std::string name(systemName);
    for (const std::string_view curve : {"_P256", "_P384", "_P521"})
        if (name.size() > curve.size() && name.ends_with(curve))
            name.resize(name.size() - curve.size());
    constexpr std::string_view unnamed = "<unknown>";
    const std::size_t at = name.find(unnamed);
    if (at != std::string::npos && (hash == CALG_SHA_256 || hash == CALG_SHA_384))
        name.replace(at, unnamed.size(), hash == CALG_SHA_256 ? "SHA256" : "SHA384");
    return name;
}

}  // namespace net
