#include "tests/support/NetTestSupport.h"

#include "platform/net/MessagePump.h"
#include "platform/net/detail/SystemSockets.h"

namespace testsupport {

bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    // A wait step sleeps until an event comes: this tick makes sure one does,
    // so that the limit is kept and conditions set by other threads are seen.
    const LoopTimer tick(5ms, true, [] {});
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        net::WaitForMessages();
    return done();
}

void PumpFor(std::chrono::milliseconds duration)
{
    PumpUntil([] { return false; }, duration);
}

namespace {

std::vector<net::Address> OneIpv4(uint32_t address)
{
    if (address == 0)
        return {};
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = address;
    return {net::Address(a)};
}

} // namespace

FakeResolver::FakeResolver(bool answers, uint32_t address, uint16_t error)
    : FakeResolver(answers, OneIpv4(address), error)
{
}

FakeResolver::FakeResolver(bool answers, std::vector<net::Address> addresses, uint16_t error)
    : answers_(answers), addresses_(std::move(addresses)), error_(error), previous_(net::SetHostResolver(this))
{
}

FakeResolver::~FakeResolver()
{
    net::SetHostResolver(previous_);
}

void FakeResolver::Lookup(const std::string &name, Answer done)
{
    Names.push_back(name);
    if (!answers_) {
        Pending.push_back(std::move(done));
        return;
    }
    CallSoon([done = std::move(done), a = addresses_, e = error_] { done(a, e); });
}

} // namespace testsupport
