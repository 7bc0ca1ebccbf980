// What the network tests' helpers take from the system: on Windows, the timer
// and posted messages of the notification objects the components use, and the
// process's times.
#include "tests/support/NetTestSupport.h"

#include "platform/net/MessagePump.h"
#include "platform/net/NotificationWindow.h"

#include <windows.h>

#include <deque>
#include <stdexcept>

namespace testsupport {

struct LoopTimer::System {
    System(bool repeat, std::function<void()> tick)
        : window([this, repeat, tick = std::move(tick)](const net::Message &) {
              if (!repeat)
                  window.KillTimer();
              tick();
          })
    {
    }
    net::NotificationWindow window;
};

LoopTimer::LoopTimer(std::chrono::milliseconds interval, bool repeat, std::function<void()> tick)
    : system_(std::make_unique<System>(repeat, std::move(tick)))
{
    if (!system_->window.SetTimer(static_cast<unsigned>(interval.count())))
        throw std::runtime_error("no timer for the test");
}

LoopTimer::~LoopTimer() = default;

// Winsock's notifications are posted messages too: they come along, in the
// order they were posted.
void DeliverPosted() { net::ProcessMessages(); }

void CallSoon(std::function<void()> call)
{
    // One message per call, handled in the order posted.
    static std::deque<std::function<void()>> calls;
    static net::NotificationWindow window([](const net::Message &) {
        const auto next = std::move(calls.front());
        calls.pop_front();
        next();
    });
    calls.push_back(std::move(call));
    window.Post(net::Message{});
}

bool UnderWine()
{
    // Wine's ntdll exports its version; Windows's has no such function.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
        throw std::runtime_error("no process times");
    const auto seconds = [](const FILETIME &t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;  // 100 ns units
    };
    return seconds(kernel) + seconds(user);
}

} // namespace testsupport
