// What the network tests' helpers take from the system: on Linux, Qt's timers
// and the process clock.
#include "tests/support/NetTestSupport.h"

#include <QCoreApplication>
#include <QTimer>

#include <ctime>

namespace testsupport {

struct LoopTimer::System {
    QTimer timer;
};

LoopTimer::LoopTimer(std::chrono::milliseconds interval, bool repeat, std::function<void()> tick)
    : system_(std::make_unique<System>())
{
    system_->timer.setSingleShot(!repeat);
    QObject::connect(&system_->timer, &QTimer::timeout, std::move(tick));
    system_->timer.start(interval);
}

LoopTimer::~LoopTimer() = default;

void DeliverPosted() { QCoreApplication::sendPostedEvents(); }

void CallSoon(std::function<void()> call) { QTimer::singleShot(0, std::move(call)); }

bool UnderWine() { return false; }

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace testsupport
