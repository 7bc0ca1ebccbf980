#pragma once
// SChannel's handshake function behind one pointer, so that a test can make it
// answer what wine never does (SEC_I_INCOMPLETE_CREDENTIALS, a server's
// request for a client certificate). Production code never changes it.
// Winsock 2 before windows.h, which would bring the old one.
#include <winsock2.h>
#include <windows.h>
#define SECURITY_WIN32
#include <security.h>

namespace net {

using HandshakeFunction = decltype(&InitializeSecurityContextW);

// The function in use: InitializeSecurityContextW unless a test has replaced it.
HandshakeFunction &HandshakeCall();

// Puts the system's own function back (for a test's tear-down).
void RestoreHandshakeCall();

} // namespace net
