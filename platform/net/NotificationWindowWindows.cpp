#include "platform/net/NotificationWindow.h"

#include "platform/net/detail/MessageWindowWindows.h"
#include "platform/net/detail/PosterWhileAlive.h"

#include <climits>
#include <memory>
#include <utility>

namespace net {
namespace {

// A posted Message: lParam carries the copy it owns.
constexpr UINT PostedMessage = PrivateMessageBase;
constexpr UINT_PTR TimerId = 1;

std::unique_ptr<Message> Owned(LPARAM lParam) { return std::unique_ptr<Message>(reinterpret_cast<Message *>(lParam)); }

} // namespace

struct NotificationWindow::Receiver {
    explicit Receiver(Handler h)
        : handler(std::move(h)),
          window([this](UINT message, WPARAM, LPARAM lParam) { Deliver(message, lParam); },
                 [](UINT message, WPARAM, LPARAM lParam) {
                     if (message == PostedMessage)
                         Owned(lParam);
                 })
    {
    }

    void Deliver(UINT message, LPARAM lParam)
    {
        if (message == PostedMessage)
            handler(*Owned(lParam));
        else if (message == WM_TIMER)
            handler(Message{Message::Timer});
    }

    // Messages posted to one window are delivered in the order posted.
    void Post(const Message &msg)
    {
        auto copy = std::make_unique<Message>(msg);
        if (window.Handle() && ::PostMessageW(window.Handle(), PostedMessage, 0, reinterpret_cast<LPARAM>(copy.get())))
            copy.release();
    }

    Handler handler;
    bool timing = false;
    MessageWindow window;
};

NotificationWindow::NotificationWindow(Handler handler) : receiver_(std::make_shared<Receiver>(std::move(handler))) {}

NotificationWindow::~NotificationWindow() { KillTimer(); }

void NotificationWindow::Post(const Message &msg) { receiver_->Post(msg); }

NotificationWindow::Poster NotificationWindow::PostWhileAlive() const { return PosterWhileAlive(receiver_); }

bool NotificationWindow::SetTimer(unsigned intervalMs)
{
    KillTimer();
    if (intervalMs == 0 || intervalMs > unsigned(INT_MAX) || !receiver_->window.Handle())
        return false;
    receiver_->timing = ::SetTimer(receiver_->window.Handle(), TimerId, intervalMs, nullptr) != 0;
    return receiver_->timing;
}

void NotificationWindow::KillTimer()
{
    if (std::exchange(receiver_->timing, false))
        ::KillTimer(receiver_->window.Handle(), TimerId);
}

} // namespace net
