#pragma once
// Helpers of the network layer's tests: a bounded pump, the process's CPU
// time, and a host resolver under the test's control.
#include "platform/net/HostLookup.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

using namespace std::chrono_literals;

// Pumps the event loop until Done() holds or Limit has passed; Done()'s value.
bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 5000ms);
// Pumps the event loop for Duration.
void PumpFor(std::chrono::milliseconds duration);

// CPU time the process has used, in seconds.
double ProcessCpuSeconds();

// Replaces the system's resolver while it lives. Each lookup is answered on
// the next pass of the event loop with Address/Error, or, when Answers is
// false, kept unanswered in Pending.
class FakeResolver : public net::HostResolver {
public:
    FakeResolver(bool answers, uint32_t address, uint16_t error);
    ~FakeResolver() override;
    void Lookup(const std::string &name, QObject *context, Answer done) override;

    std::vector<std::string> Names;
    std::vector<Answer> Pending;

private:
    bool answers_;
    uint32_t address_;
    uint16_t error_;
    net::HostResolver *previous_;
};

} // namespace testsupport
