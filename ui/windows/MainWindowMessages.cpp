// The window's messages: its controls' clicks passed to the logic's
// handlers by the shared table of actions, the closing of the window, the
// colours of its texts, and the mouse over the flat buttons and busy areas.
#include "ui/windows/MainWindow.h"

#include "platform/Exception.h"
#include "ui/ControlActions.h"
#include "ui/windows/CentredLines.h"
#include "ui/windows/ControlIds.h"
#include "ui/windows/ControlTable.h"

using namespace WindowIds;

// A check box's click is the change of its state: BN_CLICKED tells of both
// kinds of action.
void Win32MainWindow::Command(int id, int code)
{
    if (code == BN_CLICKED)
        RunAction(id);
}

void Win32MainWindow::RunAction(int id)
{
    for (const ControlAction &action : ControlActions())
        if (WindowLayout::IdOf(action.control) == id)
            Run(action);
}

bool Win32MainWindow::Key(const MSG &message)
{
    if (message.hwnd != window && !::IsChild(window, message.hwnd))
        return false;
    const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const auto key = message.wParam;
    if (keyDown && (key == VK_TAB || key == VK_MENU || (key >= VK_LEFT && key <= VK_DOWN)))
        ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (message.message != WM_KEYDOWN || key != VK_TAB)
        return false;
    const bool backwards = ::GetKeyState(VK_SHIFT) < 0;
    if (::GetKeyState(VK_CONTROL) < 0) {
        HWND pages = Control(PageControl1);
        const auto count = static_cast<int>(::SendMessageW(pages, TCM_GETITEMCOUNT, 0, 0));
        const auto current = static_cast<int>(::SendMessageW(pages, TCM_GETCURSEL, 0, 0));
        ShowPage((current + (backwards ? count - 1 : 1)) % count);
        ::SetFocus(pages);
        return true;
    }
    // A multi-line RichEdit keeps the Tab key for itself, read-only or not.
    if (::GetDlgCtrlID(message.hwnd) == RichEditRtf) {
        if (HWND next = ::GetNextDlgTabItem(window, message.hwnd, backwards))
            ::SetFocus(next);
        return true;
    }
    return false;
}

void Win32MainWindow::OnClose()
{
    if (Closing())
        return;
    // The program's loop gets its turn and the program ends.
    CloseLogic();
    ::ShowWindow(window, SW_HIDE);
    ::PostQuitMessage(0);
}

HBRUSH Win32MainWindow::StaticColours(HWND control, HDC dc)
{
    // The verdict that an update waits is drawn in highlighted text on the
    // highlight colour, the pair every colour scheme keeps legible.
    const bool highlighted = ::GetDlgCtrlID(control) == TextKomunikat && verdictShown &&
                             verdictLook == TVerdictLook::UpdateWaiting;
    ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT
                                     : ::IsWindowEnabled(control) ? COLOR_WINDOWTEXT
                                                                  : COLOR_GRAYTEXT));
    ::SetBkColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    return ::GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
}

LRESULT Win32MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: Command(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_NOTIFY: {
        const auto *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->idFrom == PageControl1 && header->code == TCN_SELCHANGE)
            ShowPage(static_cast<int>(::SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item.CtlType == ODT_STATIC && item.CtlID == TextProgram) {
            DrawCentredLines(item, font);
            return TRUE;
        }
        if (flatButtons.Draw(item, font))
            return TRUE;
        break;
    }
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(StaticColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_SETCURSOR: flatButtons.MouseOver(reinterpret_cast<HWND>(wParam)); break;
    case WM_CLOSE: OnClose(); return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<Win32MainWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<Win32MainWindow *>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || self->window != hwnd)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    // No exception may cross the system's frames.
    try {
        return self->Handle(message, wParam, lParam);
    } catch (const std::exception &error) {
        self->ShowError(MessageOf(error));
        return 0;
    }
}

// The pages and panels: their children's messages go to the main window;
// a panel draws its frame, raised outside and sunken inside.
LRESULT CALLBACK Win32MainWindow::ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(hwnd, &paint);
        const int id = ::GetDlgCtrlID(hwnd);
        if (id != TabSheetParametry && id != TabSheetCoNowego) {
            RECT frame;
            ::GetClientRect(hwnd, &frame);
            ::DrawEdge(dc, &frame, BDR_RAISEDOUTER | BDR_SUNKENINNER, BF_RECT);
        }
        ::EndPaint(hwnd, &paint);
        return 0;
    }
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// The flat buttons' frame under the mouse, and the busy cursor over the
// action panel, the program panel and the news view.
LRESULT CALLBACK Win32MainWindow::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data)
{
    auto *self = reinterpret_cast<Win32MainWindow *>(data);
    switch (message) {
    case WM_SETCURSOR:
        self->flatButtons.MouseOver(reinterpret_cast<HWND>(wParam));
        if (self->busy) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE: self->flatButtons.MouseMoved(hwnd); break;
    case WM_MOUSELEAVE: self->flatButtons.MouseLeft(hwnd); break;
    case WM_NCDESTROY: ::RemoveWindowSubclass(hwnd, ControlProc, 0); break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
