// The window's making and ending: its frame, its controls from the table,
// their tooltips, and the logic's start-up.
#include "ui/windows/MainWindow.h"

#include "platform/Exception.h"
#include "ui/ControlTexts.h"
#include "ui/windows/Boxes.h"
#include "ui/windows/ControlIds.h"
#include "ui/windows/ControlTable.h"
#include "ui/windows/ModuleInstance.h"
#include "ui/windows/NewsView.h"
#include "ui/windows/Tooltips.h"
#include "ui/windows/WideText.h"
#include "ui/windows/WindowFrame.h"

using namespace WindowIds;
using namespace WindowLayout;

Win32MainWindow::Win32MainWindow(std::function<std::string()> ProgramDirectory)
{
    RegisterClasses(WindowProc, ContainerProc);
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    constexpr DWORD exStyle = WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, Scaled(ClientWidth), Scaled(ClientHeight)};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    window = ::CreateWindowExW(exStyle, MainWindowClass, Wide(StartCaption()).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                               frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, Instance(), this);
    if (!window)
        throw Exception("Cannot create the main window");
    font = SansSerif(8, false, false);
    verdictFont = SansSerif(10, false, false);
    CreateControls();
    StartLogic(std::move(ProgramDirectory));
}

Win32MainWindow::~Win32MainWindow()
{
    EndLogic();
    ::DestroyWindow(window);
    if (tooltips)
        ::DestroyWindow(tooltips);
    ::DeleteObject(font);
    ::DeleteObject(verdictFont);
}

void Win32MainWindow::OpenBox(TMessageKind kind, const std::string &text)
{
    ShowBox(::IsWindowVisible(window) ? window : nullptr, kind, text);
}

void Win32MainWindow::CreateControls()
{
    RECT page;
    HWND pages = CreatePageControl(window, font, page);
    CreateStatusBar(window, font);
    tooltips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                 Instance(), nullptr);
    if (!tooltips)
        throw Exception("Cannot create the window's tooltips");
    ::SendMessageW(tooltips, TTM_SETMAXTIPWIDTH, 0, 400);

    for (const ControlEntry &entry : Controls())
        Create(entry.id, entry.parent == 0 ? pages : Control(entry.parent), page);
    ::SendMessageW(Control(EditPassword), EM_SETPASSWORDCHAR, L'*', 0);
    ::SendMessageW(Control(CheckBoxProxy), BM_SETCHECK, BST_CHECKED, 0);
    ResetIndicators();
    ShowPage(0);
}

HWND Win32MainWindow::Create(int id, HWND parent, const RECT &page)
{
    const ControlEntry &entry = EntryOf(id);
    HWND control = CreateControl(entry, parent, page);
    if (!control)
        throw Exception("Cannot create the window's controls");
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(entry.id == TextKomunikat ? verdictFont : font), FALSE);
    if (entry.kind == TKind::FlatButton || entry.kind == TKind::News || entry.id == PanelProgram ||
        entry.id == PanelSpeedButtons)
        ::SetWindowSubclass(control, ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
    if (const std::string hint = HintOf(id); !hint.empty())
        AddTooltip(tooltips, control, hint);
    if (entry.kind == TKind::News)
        PrepareNewsView(control);
    return control;
}

// Wine's RichEdit takes seconds to delete a long text, while the window
// stands still; a new view has nothing to delete.
HWND Win32MainWindow::RenewNewsView()
{
    HWND old = Control(RichEditRtf);
    RemoveTooltip(tooltips, old);
    ::DestroyWindow(old);
    return Create(RichEditRtf, Control(EntryOf(RichEditRtf).parent), RECT{});
}

HWND Win32MainWindow::Control(int id) const
{
    // Every control is a descendant of the window, with an ID of its own.
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto *wanted = reinterpret_cast<Search *>(data);
            if (::GetDlgCtrlID(child) != wanted->id)
                return TRUE;
            wanted->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Win32MainWindow::Field(TField field) const { return Control(IdOf(ControlOf(field))); }

void Win32MainWindow::ShowPage(int index)
{
    ::SendMessageW(Control(PageControl1), TCM_SETCURSEL, index, 0);
    ::ShowWindow(Control(TabSheetParametry), index == 0 ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Control(TabSheetCoNowego), index == 1 ? SW_SHOW : SW_HIDE);
}

void Win32MainWindow::Show()
{
    // As Windows shows a window opened by the mouse: no focus rectangle
    // until the keyboard moves the focus (unless the user's settings show
    // them always). Before the window is on the screen, so it is never drawn
    // with one. Wine keeps no UI state: its focus rectangles always show.
    ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    RECT desk;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &desk, 0);
    RECT frame;
    ::GetWindowRect(window, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    ::SetWindowPos(window, HWND_TOPMOST, desk.left + (desk.right - desk.left - width) / 2,
                   desk.top + (desk.bottom - desk.top - height) / 2, 0, 0, SWP_NOSIZE);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    ::SetFocus(Control(SpeedDownload));
}
