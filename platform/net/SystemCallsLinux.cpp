#include "platform/net/detail/SystemCallsLinux.h"

#include <unistd.h>

namespace net {
namespace {

constexpr SystemCalls System{::socket, ::connect, ::accept4, ::send, ::recv, ::close, ::splice};

SystemCalls current = System;

} // namespace

SystemCalls &Calls() { return current; }

void RestoreSystemCalls() { current = System; }

} // namespace net
