#include "platform/net/detail/MessageWindowWindows.h"
#include "platform/net/detail/NotificationReceiver.h"

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

    Handler handler;
    MessageWindow window;
};

namespace native {

std::shared_ptr<Receiver> MakeReceiver(NotificationWindow::Handler handler) { return std::make_shared<Receiver>(std::move(handler)); }

// Messages posted to one window are delivered in the order posted.
void Post(Receiver &receiver, const Message &msg)
{
    auto copy = std::make_unique<Message>(msg);
    const HWND window = receiver.window.Handle();
    if (window && ::PostMessageW(window, PostedMessage, 0, reinterpret_cast<LPARAM>(copy.get())))
        copy.release();
}

bool StartTimer(Receiver &receiver, unsigned intervalMs)
{
    return receiver.window.Handle() && ::SetTimer(receiver.window.Handle(), TimerId, intervalMs, nullptr) != 0;
}

void StopTimer(Receiver &receiver) { ::KillTimer(receiver.window.Handle(), TimerId); }

} // namespace native

} // namespace net
