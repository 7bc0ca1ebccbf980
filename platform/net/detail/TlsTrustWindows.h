#pragma once
// Whether a server's certificate proves that it is the host the program asked
// for. The program checks this itself, after the handshake: the system's own
// check inside the handshake knows neither the extra CA file nor IP addresses.
//
// A chain is trusted when the system's chain engine trusts it, or when it
// ends at a certificate of the extra CA file, byte for byte. The reasons are
// checked in one order: the chain, then the name, then the dates.
#include "platform/net/Tls.h"
#include "platform/net/detail/TlsPeer.h"

// Winsock 2 before windows.h, which would bring the old one.
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include <string>

namespace net {

class TlsTrust {
public:
    TlsTrust();
    ~TlsTrust();
    TlsTrust(const TlsTrust &) = delete;
    TlsTrust &operator=(const TlsTrust &) = delete;

    // Adds the certificates of a PEM file (a UTF-8 path); false when it cannot
    // be read or holds a block that is no certificate, or none at all.
    bool LoadCaFile(const std::string &file);

    // Server: the certificate the handshake brought, with the ones the server
    // sent beside it in its store. Peer: whom the program asked for.
    TlsFailure Verify(PCCERT_CONTEXT server, const TlsPeer &peer) const;

private:
    bool IsOurCa(PCCERT_CONTEXT certificate) const;

    // The extra CA file's certificates: intermediates for the chain engine,
    // and the roots trusted besides the system's, byte for byte.
    HCERTSTORE caStore_ = nullptr;
};

} // namespace net
