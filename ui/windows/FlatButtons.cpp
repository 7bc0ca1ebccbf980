#include "ui/windows/FlatButtons.h"

#include "ui/windows/ControlIds.h"
#include "ui/windows/ModuleInstance.h"
#include "ui/windows/Resources.h"

#include <utility>

namespace {

using namespace WindowIds;

// The glyphs, and where they sit on the action buttons.
constexpr int GlyphSize = 18, GlyphMargin = 3, GlyphSpacing = 10;

const std::pair<int, int> Glyphs[] = {
    {SpeedDownload, IDB_DOWNLOAD}, {SpeedAbort, IDB_ABORT},           {SpeedConnect, IDB_CONNECT},
    {SpeedDisconnect, IDB_DISCONNECT}, {SpeedExit, IDB_EXIT},         {SpeedProgramAkt, IDB_PROGRAM_AKT},
    {SpeedProgramOld, IDB_PROGRAM_OLD},
};

// The indicators show their glyph alone, centred; their caption names them
// for screen readers only.
bool ShowsCaption(int id) { return id != SpeedProgramAkt && id != SpeedProgramOld; }

} // namespace

FlatButtons::FlatButtons()
{
    glyphs = ::ImageList_Create(GlyphSize, GlyphSize, ILC_COLOR4 | ILC_MASK, 7, 0);
    for (const auto &[id, resource] : Glyphs) {
        HBITMAP picture = static_cast<HBITMAP>(
            ::LoadImageW(Instance(), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        glyphOf[id] = ::ImageList_AddMasked(glyphs, picture, RGB(255, 0, 255));
        ::DeleteObject(picture);
    }
}

FlatButtons::~FlatButtons() { ::ImageList_Destroy(glyphs); }

bool FlatButtons::Draw(const DRAWITEMSTRUCT &item, HFONT font) const
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
    const int length = ShowsCaption(glyph->first) ? ::GetWindowTextW(item.hwndItem, caption, 128) : 0;
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
    // No focus rectangle until the keyboard is used.
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = box;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(dc, &focus);
    }
    return true;
}

void FlatButtons::MouseMoved(HWND control)
{
    if (hotButton == control || !glyphOf.contains(::GetDlgCtrlID(control)))
        return;
    if (hotButton)
        ::InvalidateRect(hotButton, nullptr, FALSE);
    hotButton = control;
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, control, 0};
    ::TrackMouseEvent(&leave);
    ::InvalidateRect(control, nullptr, FALSE);
}

void FlatButtons::MouseLeft(HWND control)
{
    if (hotButton == control) {
        hotButton = nullptr;
        ::InvalidateRect(control, nullptr, FALSE);
    }
}

// A click ends the leave tracking of the button it pressed; whatever the
// mouse is over next tells that it left.
void FlatButtons::MouseOver(HWND under)
{
    if (hotButton && under != hotButton) {
        ::InvalidateRect(hotButton, nullptr, FALSE);
        hotButton = nullptr;
    }
}
