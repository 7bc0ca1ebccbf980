// The logic's headers come before the system's, whose macros take names of
// the socket layer's.
#include "app/vm_ver32Main.h"

#include "ui/windows/MainWindow.h"

#include "platform/Exception.h"
#include "ui/windows/Boxes.h"
#include "ui/windows/ControlIds.h"
#include "ui/windows/NewsView.h"
#include "ui/windows/Resources.h"
#include "ui/windows/WideText.h"

#include <richedit.h>

#include <string_view>

namespace {

using namespace WindowIds;

constexpr int ClientWidth = 446, ClientHeight = 323;
constexpr int StatusHeight = 19;
// The flat buttons' glyphs, and where they sit on the action buttons.
constexpr int GlyphSize = 18, GlyphMargin = 3, GlyphSpacing = 10;
// The one spot of the two indicators in PanelProgram.
constexpr int IndicatorLeft = 160, IndicatorTop = 4;

enum class TKind { Label, Edit, CheckBox, FlatButton, PushButton, Container, Panel, Bevel, Text, News };

struct ControlEntry {
    int id;
    int parent; // 0: the page control
    TKind kind;
    const char *text; // UTF-8
    int x, y, width, height;
    DWORD style = 0;
    const char *hint = nullptr;
};

// In the order of their tab stops. Siblings created earlier lie above later
// ones: the indicators and bevels over TextProgram, ButtonTest over PanelRtf.
const ControlEntry Controls[] = {
    {TabSheetParametry, 0, TKind::Container, "", 0, 0, 0, 0},
    {LabelHost, TabSheetParametry, TKind::Label, "Host", 8, 12, 68, 17},
    {LabelHostPort, TabSheetParametry, TKind::Label, "Port", 8, 40, 68, 17},
    {LabelUser, TabSheetParametry, TKind::Label, "User ID", 8, 68, 68, 17},
    {LabelUserPassword, TabSheetParametry, TKind::Label, "Password", 8, 96, 68, 17},
    {LabelProxy, TabSheetParametry, TKind::Label, "Proxy Server", 240, 38, 180, 16},
    {LabelProxyPort, TabSheetParametry, TKind::Label, "Proxy Port", 240, 82, 180, 16},
    {LabelRemoteFile, TabSheetParametry, TKind::Label, "Zdalny plik", 4, 152, 72, 17, SS_RIGHT},
    {EditHost, TabSheetParametry, TKind::Edit, "", 80, 10, 140, 22},
    {EditHostPort, TabSheetParametry, TKind::Edit, "", 80, 38, 140, 22},
    {EditUser, TabSheetParametry, TKind::Edit, "", 80, 66, 140, 22, WS_DISABLED},
    {EditPassword, TabSheetParametry, TKind::Edit, "", 80, 94, 140, 22, WS_DISABLED | ES_PASSWORD},
    {CheckBoxProxy, TabSheetParametry, TKind::CheckBox, "Użyj Proxy", 240, 10, 180, 22},
    {EditProxy, TabSheetParametry, TKind::Edit, "", 240, 54, 180, 22},
    {EditProxyPort, TabSheetParametry, TKind::Edit, "", 240, 98, 180, 22},
    {EditRemoteFile, TabSheetParametry, TKind::Edit, "", 80, 150, 340, 22},

    {TabSheetCoNowego, 0, TKind::Container, "", 0, 0, 0, 0},
    {PanelSpeedButtons, TabSheetCoNowego, TKind::Panel, "", 2, 2, 186, 142},
    {SpeedDownload, PanelSpeedButtons, TKind::FlatButton, "&Sprawdź co nowego ?", 4, 4, 176, 28, 0,
     "Sprawdź, czy należy zaktualizować Twój program"},
    {SpeedAbort, PanelSpeedButtons, TKind::FlatButton, "&Anuluj pobieranie pliku", 4, 34, 176, 28, 0,
     "Przerwij pobieranie plików"},
    {Bevel1, PanelSpeedButtons, TKind::Bevel, "", 4, 65, 176, 2},
    {SpeedConnect, PanelSpeedButtons, TKind::FlatButton, "&Połącz się z serwerem", 4, 70, 176, 28, 0,
     "Połącz się z serwerem VEMO"},
    {SpeedDisconnect, PanelSpeedButtons, TKind::FlatButton, "&Rozłącz", 4, 104, 88, 28, 0, "Przerwij połączenie"},
    {SpeedExit, PanelSpeedButtons, TKind::FlatButton, "&Koniec", 92, 104, 88, 28, 0, "Zakończ działanie programu"},
    {PanelProgram, TabSheetCoNowego, TKind::Panel, "", 2, 144, 186, 132},
    {SpeedProgramAkt, PanelProgram, TKind::FlatButton, "", IndicatorLeft, IndicatorTop, 22, 22, 0,
     "Program nie wymaga aktualizacji"},
    {SpeedProgramOld, PanelProgram, TKind::FlatButton, "", IndicatorLeft, IndicatorTop, 22, 22, 0,
     "Powinieneś zaktualizować program"},
    {Bevel3, PanelProgram, TKind::Bevel, "", 2, 53, 180, 2},
    {Bevel2, PanelProgram, TKind::Bevel, "", 2, 104, 180, 2},
    {TextKomunikat, PanelProgram, TKind::Text, "", 2, 108, 180, 20, SS_CENTERIMAGE,
     "Komunikat, sugerujący sposob postępowania"},
    {TextProgram, PanelProgram, TKind::Text, "", 2, 2, 180, 104, 0, "Szczegóły dotyczące wersji i wdania programu"},
    {ButtonTest, TabSheetCoNowego, TKind::PushButton, "VEMO Test", 194, 252, 80, 24},
    {PanelRtf, TabSheetCoNowego, TKind::Panel, "", 190, 2, 248, 276},
    {LabelRtf, PanelRtf, TKind::Label, "Informacja o nowościach:", 6, 3, 236, 15},
    {RichEditRtf, PanelRtf, TKind::News, "", 3, 19, 242, 255, 0, "Dodatkowe informacje o aktualizacji na serwerze"},
};

const std::pair<int, int> Glyphs[] = {
    {SpeedDownload, IDB_DOWNLOAD}, {SpeedAbort, IDB_ABORT},           {SpeedConnect, IDB_CONNECT},
    {SpeedDisconnect, IDB_DISCONNECT}, {SpeedExit, IDB_EXIT},         {SpeedProgramAkt, IDB_PROGRAM_AKT},
    {SpeedProgramOld, IDB_PROGRAM_OLD},
};

const std::pair<int, void (TForm1::*)()> Actions[] = {
    {SpeedConnect, &TForm1::SpeedConnectClick},       {SpeedDownload, &TForm1::SpeedDownloadClick},
    {SpeedAbort, &TForm1::SpeedAbortClick},           {SpeedDisconnect, &TForm1::SpeedDisconnectClick},
    {SpeedExit, &TForm1::SpeedExitClick},             {ButtonTest, &TForm1::ButtonTestClick},
    {CheckBoxProxy, &TForm1::CheckBoxProxyClick},
};

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

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

struct WindowKind {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle = 0;
};

WindowKind KindOf(const ControlEntry &entry)
{
    switch (entry.kind) {
    // Pages and panels: their children take part in the window's Tab order.
    case TKind::Container:
    case TKind::Panel: return {ContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    // Labels with a hint take the mouse, so that their tooltip shows.
    case TKind::Label: return {L"STATIC", SS_NOPREFIX | SS_CENTERIMAGE | (entry.hint ? SS_NOTIFY : 0u)};
    case TKind::Text: return {L"STATIC", SS_CENTER | SS_NOPREFIX | SS_NOTIFY};
    case TKind::Bevel: return {L"STATIC", SS_ETCHEDHORZ};
    case TKind::Edit: return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case TKind::CheckBox: return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX};
    case TKind::PushButton: return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON};
    case TKind::FlatButton: return {L"BUTTON", WS_TABSTOP | BS_OWNERDRAW};
    // Skipped by the Tab key; a scroll bar always.
    case TKind::News: return {MSFTEDIT_CLASS, WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_DISABLENOSCROLL};
    }
    return {L"STATIC", 0};
}

// A page fills the page control's display area; every other control has its place.
HWND CreateControl(const ControlEntry &entry, HWND parent, const RECT &page)
{
    const WindowKind kind = KindOf(entry);
    const bool isPage = entry.kind == TKind::Container;
    return ::CreateWindowExW(kind.exStyle, kind.className, Wide(Cp(entry.text)).c_str(),
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style | entry.style,
                             isPage ? page.left : entry.x, isPage ? page.top : entry.y,
                             isPage ? page.right - page.left : entry.width, isPage ? page.bottom - page.top : entry.height,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), Instance(), nullptr);
}

// The tabs "Parametry" and "Co nowego"; Page is where a page goes.
HWND CreatePageControl(HWND window, HFONT font, RECT &page)
{
    HWND pages = ::CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_MULTILINE, 0, 0,
                                   ClientWidth, ClientHeight - StatusHeight, window,
                                   reinterpret_cast<HMENU>(PageControl1), Instance(), nullptr);
    ::SendMessageW(pages, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const char *title : {"Parametry", "Co nowego"}) {
        std::wstring text = Wide(Cp(title));
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
                                    ClientHeight - StatusHeight, ClientWidth, StatusHeight, window,
                                    reinterpret_cast<HMENU>(StatusBar1), Instance(), nullptr);
    ::SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    int wholeWidth = -1;
    ::SendMessageW(status, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&wholeWidth));
}

} // namespace

Win32MainWindow::Win32MainWindow(std::function<std::string()> ProgramDirectory)
{
    RegisterClasses(WindowProc, ContainerProc);
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    constexpr DWORD exStyle = WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, ClientWidth, ClientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    window = ::CreateWindowExW(exStyle, MainWindowClass, StartCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                               frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, Instance(), this);
    if (!window)
        throw Exception("Cannot create the main window");
    font = SansSerif(8, false, false);
    verdictFont = SansSerif(10, false, false);
    CreateControls();
    logic = std::make_unique<TForm1>(*this, std::move(ProgramDirectory));
    Guarded([this] { logic->FormCreate(); });
}

Win32MainWindow::~Win32MainWindow()
{
    destroying = true;
    logic.reset();
    ::DestroyWindow(window);
    if (tooltips)
        ::DestroyWindow(tooltips);
    ::ImageList_Destroy(glyphs);
    ::DeleteObject(font);
    ::DeleteObject(verdictFont);
}

template <class F>
void Win32MainWindow::Guarded(F &&handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        ShowError(MessageOf(error));
    }
}

void Win32MainWindow::ShowError(const std::string &message)
{
    // An operation cancelled by closing the window ends with its error;
    // nobody is left to read it.
    if (!closing)
        ShowBox(::IsWindowVisible(window) ? window : nullptr, TBoxKind::ErrorBox, message);
}

void Win32MainWindow::CreateControls()
{
    RECT page;
    HWND pages = CreatePageControl(window, font, page);
    CreateStatusBar(window, font);
    tooltips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                 Instance(), nullptr);
    ::SendMessageW(tooltips, TTM_SETMAXTIPWIDTH, 0, 400);
    glyphs = ::ImageList_Create(GlyphSize, GlyphSize, ILC_COLOR4 | ILC_MASK, 7, 0);
    for (const auto &[id, resource] : Glyphs) {
        HBITMAP picture = static_cast<HBITMAP>(
            ::LoadImageW(Instance(), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        glyphOf[id] = ::ImageList_AddMasked(glyphs, picture, RGB(255, 0, 255));
        ::DeleteObject(picture);
    }

    for (const ControlEntry &entry : Controls) {
        HWND control = CreateControl(entry, entry.parent == 0 ? pages : Control(entry.parent), page);
        if (!control)
            throw Exception("Cannot create the window's controls");
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(entry.id == TextKomunikat ? verdictFont : font),
                       FALSE);
        if (entry.kind == TKind::FlatButton || entry.kind == TKind::News || entry.id == PanelProgram ||
            entry.id == PanelSpeedButtons)
            ::SetWindowSubclass(control, ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
        if (entry.hint)
            AddHint(control, entry.hint);
    }
    ::SendMessageW(Control(EditPassword), EM_SETPASSWORDCHAR, L'*', 0);
    ::SendMessageW(Control(CheckBoxProxy), BM_SETCHECK, BST_CHECKED, 0);
    PrepareNewsView(Control(RichEditRtf));
    ResetIndicators();
    ShowPage(0);
}

void Win32MainWindow::AddHint(HWND control, const char *hint)
{
    std::wstring text = Wide(Cp(hint));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    ::SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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

HWND Win32MainWindow::Field(TField field) const
{
    switch (field) {
    case TField::Host: return Control(EditHost);
    case TField::HostPort: return Control(EditHostPort);
    case TField::User: return Control(EditUser);
    case TField::Password: return Control(EditPassword);
    case TField::Proxy: return Control(EditProxy);
    case TField::ProxyPort: return Control(EditProxyPort);
    case TField::RemoteFile: return Control(EditRemoteFile);
    }
    return nullptr;
}

void Win32MainWindow::ShowPage(int index)
{
    ::SendMessageW(Control(PageControl1), TCM_SETCURSEL, index, 0);
    ::ShowWindow(Control(TabSheetParametry), index == 0 ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Control(TabSheetCoNowego), index == 1 ? SW_SHOW : SW_HIDE);
}

void Win32MainWindow::Show()
{
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

// FormView

void Win32MainWindow::SetCaption(const std::string &caption) { ::SetWindowTextW(window, Wide(caption).c_str()); }

void Win32MainWindow::ShowNewsPage() { ShowPage(1); }

std::string Win32MainWindow::FieldText(TField field) const
{
    HWND edit = Field(field);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return FromWide(text);
}

void Win32MainWindow::SetFieldText(TField field, const std::string &text)
{
    ::SetWindowTextW(Field(field), Wide(text).c_str());
}

bool Win32MainWindow::ProxyChecked() const
{
    return ::SendMessageW(Control(CheckBoxProxy), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32MainWindow::SetProxyChecked(bool checked)
{
    if (checked == ProxyChecked())
        return;
    ::SendMessageW(Control(CheckBoxProxy), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    Guarded([this] { logic->CheckBoxProxyClick(); });
}

void Win32MainWindow::SetProxyFieldsEnabled(bool enabled)
{
    ::EnableWindow(Control(EditProxy), enabled);
    ::EnableWindow(Control(EditProxyPort), enabled);
}

void Win32MainWindow::SetTestButtonVisible(bool visible)
{
    ::ShowWindow(Control(ButtonTest), visible ? SW_SHOW : SW_HIDE);
}

void Win32MainWindow::SetProgramText(const std::string &text)
{
    ::SetWindowTextW(Control(TextProgram), Wide(text).c_str());
}

void Win32MainWindow::SetVerdictText(const std::string &text)
{
    ::SetWindowTextW(Control(TextKomunikat), Wide(text).c_str());
}

void Win32MainWindow::SetVerdictLook(TVerdictLook look)
{
    verdictLook = look;
    verdictShown = true;
    HFONT previous = verdictFont;
    verdictFont = SansSerif(10, look == TVerdictLook::UpdateWaiting, true);
    ::SendMessageW(Control(TextKomunikat), WM_SETFONT, reinterpret_cast<WPARAM>(verdictFont), TRUE);
    ::DeleteObject(previous);
}

void Win32MainWindow::ResetIndicators()
{
    for (int id : {SpeedProgramAkt, SpeedProgramOld})
        ::SetWindowPos(Control(id), nullptr, IndicatorLeft, IndicatorTop, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void Win32MainWindow::ShowIndicator(TIndicator indicator)
{
    ::ShowWindow(Control(indicator == TIndicator::ProgramAkt ? SpeedProgramAkt : SpeedProgramOld), SW_SHOW);
}

void Win32MainWindow::ShowNews(const std::string &content, bool complete)
{
    ShowNewsIn(Control(RichEditRtf), content, complete);
}

void Win32MainWindow::FocusNews()
{
    HWND news = Control(RichEditRtf);
    if (!::IsWindowVisible(news) || !::IsWindowEnabled(news))
        throw Exception("Cannot focus a disabled or invisible window");
    ::SetFocus(news);
}

bool Win32MainWindow::StatusBarExists() const { return !destroying; }

void Win32MainWindow::SetStatusText(const std::string &text)
{
    if (!destroying)
        ::SendMessageW(Control(StatusBar1), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void Win32MainWindow::SetCursors(TCursor cursor)
{
    busy = cursor == TCursor::HourGlass;
    // The shape changes now, not at the mouse's next move.
    POINT at;
    ::GetCursorPos(&at);
    ::SetCursorPos(at.x, at.y);
}

void Win32MainWindow::Repaint() { ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

void Win32MainWindow::Close() { ::SendMessageW(window, WM_CLOSE, 0, 0); }

void Win32MainWindow::ShowErrorMessage(const std::string &text)
{
    if (!closing)
        ShowBox(::IsWindowVisible(window) ? window : nullptr, TBoxKind::ErrorMessage, text);
}

void Win32MainWindow::ShowMessageDialog(const std::string &text)
{
    if (!closing)
        ShowBox(::IsWindowVisible(window) ? window : nullptr, TBoxKind::Dialog, text);
}

// Messages

void Win32MainWindow::Command(int id, int code)
{
    if (code != BN_CLICKED || !logic)
        return;
    for (const auto &[control, handler] : Actions)
        if (control == id)
            Guarded([this, handler = handler] { (*logic.*handler)(); });
}

void Win32MainWindow::OnClose()
{
    if (closing)
        return;
    Guarded([this] { logic->FormClose(); });
    // An operation waiting inside a nested loop must end so that the
    // program's loop gets its turn and the program ends; no box may follow
    // the window.
    closing = true;
    logic->CancelRunningOperation();
    ::ShowWindow(window, SW_HIDE);
    ::PostQuitMessage(0);
}

bool Win32MainWindow::DrawFlatButton(const DRAWITEMSTRUCT &item)
{
    const auto glyph = glyphOf.find(static_cast<int>(item.CtlID));
    if (item.CtlType != ODT_BUTTON || glyph == glyphOf.end())
        return false;
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    ::FillRect(dc, &box, ::GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = item.itemState & ODS_SELECTED;
    // Flat: a frame only under the mouse, sunken while pressed.
    if (pressed)
        ::DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    else if (item.hwndItem == hotButton)
        ::DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT);
    const int shift = pressed ? 1 : 0;
    wchar_t caption[128];
    const int length = ::GetWindowTextW(item.hwndItem, caption, 128);
    const int glyphTop = (box.bottom - box.top - GlyphSize) / 2 + shift;
    const int glyphLeft = length > 0 ? GlyphMargin + shift : (box.right - box.left - GlyphSize) / 2 + shift;
    ::ImageList_Draw(glyphs, glyph->second, dc, glyphLeft, glyphTop, ILD_TRANSPARENT);
    if (length > 0) {
        RECT text = box;
        text.left = GlyphMargin + GlyphSize + GlyphSpacing + shift;
        text.top += shift;
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        HGDIOBJ previous = ::SelectObject(dc, font);
        ::DrawTextW(dc, caption, length, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        ::SelectObject(dc, previous);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = box;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(dc, &focus);
    }
    return true;
}

// The mouse is over Under. A click ends the leave tracking of the button it
// pressed; whatever the mouse is over next tells that it left.
void Win32MainWindow::LeaveHotButton(HWND under)
{
    if (hotButton && under != hotButton) {
        ::InvalidateRect(hotButton, nullptr, FALSE);
        hotButton = nullptr;
    }
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
    case WM_DRAWITEM:
        if (DrawFlatButton(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)))
            return TRUE;
        break;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(StaticColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_SETCURSOR: LeaveHotButton(reinterpret_cast<HWND>(wParam)); break;
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
        self->LeaveHotButton(reinterpret_cast<HWND>(wParam));
        if (self->busy) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (self->hotButton != hwnd && self->glyphOf.contains(::GetDlgCtrlID(hwnd))) {
            if (self->hotButton)
                ::InvalidateRect(self->hotButton, nullptr, FALSE);
            self->hotButton = hwnd;
            TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, hwnd, 0};
            ::TrackMouseEvent(&leave);
            ::InvalidateRect(hwnd, nullptr, FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        if (self->hotButton == hwnd) {
            self->hotButton = nullptr;
            ::InvalidateRect(hwnd, nullptr, FALSE);
        }
        break;
    case WM_NCDESTROY: ::RemoveWindowSubclass(hwnd, ControlProc, 0); break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
