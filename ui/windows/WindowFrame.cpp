#include "ui/windows/WindowFrame.h"

#include "ui/windows/ControlIds.h"
#include "ui/windows/ControlTable.h"
#include "ui/windows/ModuleInstance.h"
#include "ui/windows/Resources.h"
#include "ui/windows/WideText.h"

#include <commctrl.h>

#include <algorithm>

using namespace WindowIds;
using namespace WindowLayout;

// The window's default font and TextKomunikat's: "MS Sans Serif" in its
// Central European set, so that ł, ś and ż exist whatever the system's code page.
HFONT SansSerif(int points, bool bold, bool underline)
{
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    return ::CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, EASTEUROPE_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                         L"MS Sans Serif");
}

void RegisterClasses(WNDPROC windowProc, WNDPROC containerProc)
{
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = windowProc;
    form.hInstance = Instance();
    form.hIcon = ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_FORM1));
    form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    form.lpszClassName = MainWindowClass;
    ::RegisterClassExW(&form);

    WNDCLASSEXW container = form;
    container.lpfnWndProc = containerProc;
    container.hIcon = nullptr;
    container.lpszClassName = ContainerClass;
    ::RegisterClassExW(&container);
}

HWND CreatePageControl(HWND window, HFONT font, RECT &page)
{
    HWND pages = ::CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_MULTILINE, 0, 0,
                                   Scaled(ClientWidth), Scaled(ClientHeight) - Scaled(StatusHeight), window,
                                   reinterpret_cast<HMENU>(PageControl1), Instance(), nullptr);
    ::SendMessageW(pages, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const int sheet : {TabSheetParametry, TabSheetCoNowego}) {
        std::wstring text = Wide(CaptionOf(sheet));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        ::SendMessageW(pages, TCM_INSERTITEMW, ::SendMessageW(pages, TCM_GETITEMCOUNT, 0, 0),
                       reinterpret_cast<LPARAM>(&item));
    }
    ::GetClientRect(pages, &page);
    TabCtrl_AdjustRect(pages, FALSE, &page);
    return pages;
}

// One part across the whole width, so that WM_GETTEXT reads the one text.
void CreateStatusBar(HWND window, HFONT font)
{
    HWND status = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                                    WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0,
                                    Scaled(ClientHeight) - Scaled(StatusHeight), Scaled(ClientWidth),
                                    Scaled(StatusHeight), window,
                                    reinterpret_cast<HMENU>(StatusBar1), Instance(), nullptr);
    ::SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    int wholeWidth = -1;
    ::SendMessageW(status, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&wholeWidth));
}

std::wstring StatusLine(const std::string &text)
{
    std::wstring line = Wide(text);
    std::replace_if(line.begin(), line.end(), [](wchar_t c) { return c == L'\r' || c == L'\n' || c == L'\t'; }, L' ');
    return line;
}
