// On Windows the client's waits pump the thread's own message queue, which
// needs nothing made first.
#include "bench/BenchModes.h"

namespace bench {

struct EventLoop::System {};

EventLoop::EventLoop() = default;

EventLoop::~EventLoop() = default;

}  // namespace bench
