// On Linux the client's waits pump Qt's event loop, which needs the
// application object.
#include "bench/BenchModes.h"

#include <QCoreApplication>

namespace bench {

struct EventLoop::System {
    int argc = 1;
    char name[9] = "vm_bench";
    char *argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
};

EventLoop::EventLoop() : system_(std::make_unique<System>()) {}

EventLoop::~EventLoop() = default;

}  // namespace bench
