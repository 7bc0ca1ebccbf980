#include "platform/net/detail/MessageWindowWindows.h"

#include <utility>

namespace net {
namespace {

constexpr wchar_t ClassName[] = L"NetMessageWindow";

bool RegisterOnce(WNDPROC procedure)
{
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = ClassName;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

} // namespace

MessageWindow::MessageWindow(Handler handler, Handler dropped)
    : handler_(std::move(handler)), dropped_(std::move(dropped))
{
    if (!RegisterOnce(&Procedure))
        return;
    window_ = ::CreateWindowExW(0, ClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr),
                                nullptr);
    if (window_)
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageWindow::~MessageWindow()
{
    if (!window_)
        return;
    // From here on nothing reaches the handler, not even what destroying sends.
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    MSG pending;
    while (::PeekMessageW(&pending, window_, 0, 0, PM_REMOVE))
        if (dropped_)
            dropped_(pending.message, pending.wParam, pending.lParam);
    ::DestroyWindow(window_);
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<MessageWindow *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || (message < PrivateMessageBase && message != WM_TIMER))
        return ::DefWindowProcW(window, message, wParam, lParam);
    self->handler_(message, wParam, lParam);
    return 0;
}

} // namespace net
