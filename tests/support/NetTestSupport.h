#pragma once
// Helpers of the network layers' tests: a bounded pump, a cancel from the
// event loop, the process's CPU time, and a host resolver under the test's
// control.
#include "platform/net/HostLookup.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

using namespace std::chrono_literals;

// Pumps the event loop until Done() holds or Limit has passed; Done()'s value.
bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 5000ms);
// Pumps the event loop for Duration.
void PumpFor(std::chrono::milliseconds duration);

// A timer of the event loop the waits pump: calls Tick after Interval, and
// again every Interval when Repeat, until it is destroyed.
class LoopTimer {
public:
    LoopTimer(std::chrono::milliseconds interval, bool repeat, std::function<void()> tick);
    ~LoopTimer();
    LoopTimer(const LoopTimer &) = delete;
    LoopTimer &operator=(const LoopTimer &) = delete;

private:
    struct System;
    std::unique_ptr<System> system_;
};

// Delivers what was posted to the notification objects and is waiting now,
// in order, and nothing else.
void DeliverPosted();

// Calls Call on a later pass of the event loop, as a click would come.
void CallSoon(std::function<void()> call);

// Calls Cancel of Target (a socket or an FTP client) from the event loop
// after Delay, and again every Delay when Repeat, as a click on an abort
// button would while an operation waits. Holding the result keeps it armed.
template <class Cancellable>
[[nodiscard]] std::unique_ptr<LoopTimer> CancelAfter(Cancellable &target, std::chrono::milliseconds delay,
                                                     bool repeat = false)
{
    return std::make_unique<LoopTimer>(delay, repeat, [&target] { target.Cancel(); });
}

// Whether the program runs under wine, which emulates Windows where a few of
// its answers differ from Windows's own.
bool UnderWine();

// CPU time the process has used, in seconds.
double ProcessCpuSeconds();

// Replaces the system's resolver while it lives. Each lookup is answered on
// the next pass of the event loop with Addresses (or the one IPv4 Address in
// network byte order, none for 0) and Error, or, when Answers is false, kept
// unanswered in Pending.
class FakeResolver : public net::HostResolver {
public:
    FakeResolver(bool answers, uint32_t address, uint16_t error);
    FakeResolver(bool answers, std::vector<net::Address> addresses, uint16_t error);
    ~FakeResolver() override;
    void Lookup(const std::string &name, Answer done) override;

    std::vector<std::string> Names;
    std::vector<Answer> Pending;

private:
    bool answers_;
    std::vector<net::Address> addresses_;
    uint16_t error_;
    net::HostResolver *previous_;
};

} // namespace testsupport
