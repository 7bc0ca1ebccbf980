#pragma once
// The standard (IANA) name of a TLS cipher suite, which the status text shows
// on both systems. SChannel's own text is no such name everywhere: Windows
// before 10 adds the curve ("..._P256"); wine gives no suite number, and
// writes "<unknown>" for the hash of an AEAD suite.
#include <string>
#include <string_view>

namespace net {

// Number: the suite's two bytes as TLS sends them. SystemName: SChannel's own
// text, for a suite this program knows no number of; Hash (an ALG_ID), the
// connection's hash, names a part of it that SChannel could not.
std::string StandardSuiteName(unsigned long number, std::string_view systemName, unsigned int hash);

}  // namespace net
