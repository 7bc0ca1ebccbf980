#include "platform/net/detail/HandshakeCallWindows.h"

namespace net {
namespace {

HandshakeFunction current = InitializeSecurityContextW;

} // namespace

HandshakeFunction &HandshakeCall() { return current; }

void RestoreHandshakeCall() { current = InitializeSecurityContextW; }

} // namespace net
