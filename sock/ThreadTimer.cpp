#include "sock/ThreadTimer.h"

#include "platform/ApplicationErrors.h"
#include "platform/Exception.h"
#include "sock/SockConst.h"

#include <utility>

TThreadTimer::TThreadTimer()
    : window_(std::make_unique<net::NotificationWindow>([this](const net::Message &msg) { HandleMessage(msg); }))
{
}

TThreadTimer::~TThreadTimer()
{
    window_->KillTimer();
}

void TThreadTimer::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    UpdateTimer();
}

void TThreadTimer::SetInterval(uint32_t value)
{
    if (value == interval_)
        return;
    interval_ = value;
    UpdateTimer();
}

void TThreadTimer::SetOnTimer(TTimerEvent handler)
{
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TThreadTimer::Timer()
{
    if (onTimer_)
        onTimer_(this);
}

void TThreadTimer::UpdateTimer()
{
    window_->KillTimer();
    if (interval_ != 0 && enabled_ && onTimer_ && !window_->SetTimer(interval_))
        throw Exception(std::string(SockConst::eNoTimer));
}

void TThreadTimer::HandleMessage(const net::Message &msg)
{
    if (msg.Number != net::Message::Timer)
        return;
    try {
        Timer();
    } catch (const std::exception &error) {
        ApplicationErrors::Handle(error);
    }
}
