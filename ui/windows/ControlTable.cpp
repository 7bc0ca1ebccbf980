#include "ui/windows/ControlTable.h"

#include "ui/ControlTexts.h"
#include "ui/windows/CentredLines.h"
#include "ui/windows/ControlIds.h"
#include "ui/windows/ModuleInstance.h"
#include "ui/windows/WideText.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

namespace WindowLayout {

namespace {

using namespace WindowIds;

// In the order of their tab stops. Siblings created earlier lie above later
// ones: the indicators and bevels over TextProgram, ButtonTest over PanelRtf.
const ControlEntry Entries[] = {
    {TabSheetParametry, 0, TKind::Container, 0, 0, 0, 0},
    {LabelHost, TabSheetParametry, TKind::Label, 8, 12, 68, 17},
    {LabelHostPort, TabSheetParametry, TKind::Label, 8, 40, 68, 17},
    {LabelUser, TabSheetParametry, TKind::Label, 8, 68, 68, 17},
    {LabelUserPassword, TabSheetParametry, TKind::Label, 8, 96, 68, 17},
    {LabelProxy, TabSheetParametry, TKind::Label, 240, 38, 180, 16},
    {LabelProxyPort, TabSheetParametry, TKind::Label, 240, 82, 180, 16},
    {LabelRemoteFile, TabSheetParametry, TKind::Label, 4, 152, 72, 17, SS_RIGHT},
    {EditHost, TabSheetParametry, TKind::Edit, 80, 10, 140, 22},
    {EditHostPort, TabSheetParametry, TKind::Edit, 80, 38, 140, 22},
    {EditUser, TabSheetParametry, TKind::Edit, 80, 66, 140, 22, WS_DISABLED},
    {EditPassword, TabSheetParametry, TKind::Edit, 80, 94, 140, 22, WS_DISABLED | ES_PASSWORD},
    {CheckBoxProxy, TabSheetParametry, TKind::CheckBox, 240, 10, 180, 22},
    {EditProxy, TabSheetParametry, TKind::Edit, 240, 54, 180, 22},
    {EditProxyPort, TabSheetParametry, TKind::Edit, 240, 98, 180, 22},
    {EditRemoteFile, TabSheetParametry, TKind::Edit, 80, 150, 340, 22},

    {TabSheetCoNowego, 0, TKind::Container, 0, 0, 0, 0},
    {PanelSpeedButtons, TabSheetCoNowego, TKind::Panel, 2, 2, 186, 142},
    {SpeedDownload, PanelSpeedButtons, TKind::FlatButton, 4, 4, 176, 28},
    {SpeedAbort, PanelSpeedButtons, TKind::FlatButton, 4, 34, 176, 28},
    {Bevel1, PanelSpeedButtons, TKind::Bevel, 4, 65, 176, 2},
    {SpeedConnect, PanelSpeedButtons, TKind::FlatButton, 4, 70, 176, 28},
    {SpeedDisconnect, PanelSpeedButtons, TKind::FlatButton, 4, 104, 88, 28},
    {SpeedExit, PanelSpeedButtons, TKind::FlatButton, 92, 104, 88, 28},
    {PanelProgram, TabSheetCoNowego, TKind::Panel, 2, 144, 186, 132},
    // The indicators draw no caption: it is their name for screen readers.
    {SpeedProgramAkt, PanelProgram, TKind::FlatButton, IndicatorLeft, IndicatorTop, 22, 22},
    {SpeedProgramOld, PanelProgram, TKind::FlatButton, IndicatorLeft, IndicatorTop, 22, 22},
    {Bevel3, PanelProgram, TKind::Bevel, 2, 53, 180, 2},
    {Bevel2, PanelProgram, TKind::Bevel, 2, 104, 180, 2},
    {TextKomunikat, PanelProgram, TKind::Text, 2, 108, 180, 20, SS_CENTERIMAGE},
    {TextProgram, PanelProgram, TKind::Lines, 2, 2, 180, 104},
    {ButtonTest, TabSheetCoNowego, TKind::PushButton, 194, 252, 80, 24},
    {PanelRtf, TabSheetCoNowego, TKind::Panel, 190, 2, 248, 276},
    {LabelRtf, PanelRtf, TKind::Label, 6, 3, 236, 15},
    {RichEditRtf, PanelRtf, TKind::News, 3, 19, 242, 255},
};

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
    case TKind::Label: return {L"STATIC", SS_NOPREFIX | SS_CENTERIMAGE | (HintOf(entry.id).empty() ? 0u : SS_NOTIFY)};
    case TKind::Text: return {L"STATIC", SS_CENTER | SS_NOPREFIX | SS_NOTIFY};
    case TKind::Lines: return {L"STATIC", CentredLinesStyle | SS_NOTIFY};
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

const ControlText *TextsOf(int id)
{
    for (const ControlText &texts : ControlTexts())
        if (IdOf(texts.control) == id)
            return &texts;
    return nullptr;
}

} // namespace

int Scaled(int pixels)
{
    // The system's DPI, which a program that says it is DPI-aware is told;
    // it holds for the whole session.
    static const int dpi = [] {
        HDC screen = ::GetDC(nullptr);
        const int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        return pixelsPerInch;
    }();
    return ::MulDiv(pixels, dpi, 96);
}

std::span<const ControlEntry> Controls() { return Entries; }

int IdOf(TControl control) { return static_cast<int>(control); }

std::string CaptionOf(int id)
{
    const ControlText *texts = TextsOf(id);
    return texts ? texts->caption : std::string();
}

std::string HintOf(int id)
{
    const ControlText *texts = TextsOf(id);
    return texts ? texts->hint : std::string();
}

const ControlEntry &EntryOf(int id)
{
    return *std::find_if(std::begin(Entries), std::end(Entries), [id](const ControlEntry &entry) { return entry.id == id; });
}

HWND CreateControl(const ControlEntry &entry, HWND parent, const RECT &page)
{
    const WindowKind kind = KindOf(entry);
    const bool isPage = entry.kind == TKind::Container;
    // A page's caption is on its tab (CreatePageControl).
    const std::wstring text = isPage ? std::wstring() : Wide(CaptionOf(entry.id));
    return ::CreateWindowExW(kind.exStyle, kind.className, text.c_str(),
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style | entry.style,
                             isPage ? page.left : Scaled(entry.x), isPage ? page.top : Scaled(entry.y),
                             isPage ? page.right - page.left : Scaled(entry.width),
                             isPage ? page.bottom - page.top : Scaled(entry.height),
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), Instance(), nullptr);
}

} // namespace WindowLayout
