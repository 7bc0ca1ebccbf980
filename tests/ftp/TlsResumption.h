#pragma once
// Whether the program's TLS resumes the control connection's session on a
// data connection, as OpenSSL and Windows' SChannel do. Wine's SChannel never
// does: under wine a server that insists on it refuses every transfer, so the
// tests ask for it only where it can be had.
namespace testsupport {

bool TlsResumesSessions();

}  // namespace testsupport
