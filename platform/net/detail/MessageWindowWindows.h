#pragma once
// A hidden message-only window (HWND_MESSAGE) whose messages go to a function:
// what the Windows backend's notification objects, sockets and lookups are
// reached at. Destroying it removes the messages still queued for it, handing
// each to Dropped first so that whatever a message owns can be freed.
#include <winsock2.h>
#include <windows.h>

#include <functional>

namespace net {

class MessageWindow {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

    // Handle() is null when the system had no window to give.
    explicit MessageWindow(Handler handler, Handler dropped = {});
    ~MessageWindow();
    MessageWindow(const MessageWindow &) = delete;
    MessageWindow &operator=(const MessageWindow &) = delete;

    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    Handler handler_;
    Handler dropped_;
    HWND window_ = nullptr;
};

// The first message number the backend's own messages use.
constexpr UINT PrivateMessageBase = WM_APP;

} // namespace net
