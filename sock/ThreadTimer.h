#pragma once
// TThreadTimer: a periodic timer whose ticks arrive through the event loop at a
// hidden notification object of its own. It runs while Enabled, Interval is not
// 0 and OnTimer is assigned; changing any of them re-evaluates that. An error
// that escapes OnTimer goes to the application's error handler and the timer
// keeps its state.
#include "platform/net/NotificationWindow.h"

#include <cstdint>
#include <functional>
#include <memory>

class TThreadTimer {
public:
    using TTimerEvent = std::function<void(TThreadTimer *Sender)>;

    TThreadTimer();  // Enabled true, Interval 1000, no OnTimer
    virtual ~TThreadTimer();
    TThreadTimer(const TThreadTimer &) = delete;
    TThreadTimer &operator=(const TThreadTimer &) = delete;

    bool Enabled() const { return enabled_; }
    uint32_t Interval() const { return interval_; }
    const TTimerEvent &OnTimer() const { return onTimer_; }

    // Setting the value it already has does nothing, so re-arming a running
    // timer does not restart its period. Raise Exception "No Timer" when the
    // system has no timer to give.
    void SetEnabled(bool value);
    void SetInterval(uint32_t value);
    // Always stores Handler and re-evaluates the timer.
    void SetOnTimer(TTimerEvent handler);

protected:
    // One tick: calls OnTimer.
    virtual void Timer();

private:
    void UpdateTimer();
    void HandleMessage(const net::Message &msg);

    bool enabled_ = true;
    uint32_t interval_ = 1000;
    TTimerEvent onTimer_;
    std::unique_ptr<net::NotificationWindow> window_;
};
