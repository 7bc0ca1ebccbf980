#include "ui/windows/FlatButtons.h"

#include "ui/windows/ControlIds.h"
#include "ui/windows/ControlTable.h"
#include "ui/windows/ModuleInstance.h"
#include "ui/windows/Resources.h"

#include <utility>

namespace {

using namespace WindowIds;
using WindowLayout::Scaled;

// The glyphs, and where they sit on the action buttons, at 96 DPI.
constexpr int GlyphSize = 18, GlyphMargin = 3, GlyphSpacing = 10;

const std::pair<int, int> Glyphs[] = {
    {SpeedDownload, IDB_DOWNLOAD}, {SpeedAbort, IDB_ABORT},           {SpeedConnect, IDB_CONNECT},
    {SpeedDisconnect, IDB_DISCONNECT}, {SpeedExit, IDB_EXIT},         {SpeedProgramAkt, IDB_PROGRAM_AKT},
    {SpeedProgramOld, IDB_PROGRAM_OLD},
};

// Glyph Index of Pictures as drawn: on the button face, smoothed to Size
// pixels for the screen's DPI. The face takes the place of the glyph's
// magenta first, so that the smoothing blends its edges into the face (a
// colour scheme changed while the program runs keeps the old face there).
HBITMAP OnButtonFace(HIMAGELIST pictures, int index, int size)
{
    HDC screen = ::GetDC(nullptr);
    HDC original = ::CreateCompatibleDC(screen), scaled = ::CreateCompatibleDC(screen);
    HBITMAP face = ::CreateCompatibleBitmap(screen, GlyphSize, GlyphSize);
    HBITMAP glyph = ::CreateCompatibleBitmap(screen, size, size);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previousOriginal = ::SelectObject(original, face), previousScaled = ::SelectObject(scaled, glyph);
    RECT whole{0, 0, GlyphSize, GlyphSize};
    ::FillRect(original, &whole, ::GetSysColorBrush(COLOR_BTNFACE));
    ::ImageList_Draw(pictures, index, original, 0, 0, ILD_TRANSPARENT);
    ::SetStretchBltMode(scaled, HALFTONE);
    ::SetBrushOrgEx(scaled, 0, 0, nullptr);
    ::StretchBlt(scaled, 0, 0, size, size, original, 0, 0, GlyphSize, GlyphSize, SRCCOPY);
    ::SelectObject(original, previousOriginal);
    ::SelectObject(scaled, previousScaled);
    ::DeleteObject(face);
    ::DeleteDC(original);
    ::DeleteDC(scaled);
    return glyph;
}

// The indicators show their glyph alone, centred; their caption names them
// for screen readers only.
bool ShowsCaption(int id) { return id != SpeedProgramAkt && id != SpeedProgramOld; }

} // namespace

FlatButtons::FlatButtons()
{
    HIMAGELIST pictures = ::ImageList_Create(GlyphSize, GlyphSize, ILC_COLOR4 | ILC_MASK, 7, 0);
    const int size = Scaled(GlyphSize);
    glyphs = ::ImageList_Create(size, size, ILC_COLOR24, 7, 0);
    for (const auto &[id, resource] : Glyphs) {
        HBITMAP picture = static_cast<HBITMAP>(
            ::LoadImageW(Instance(), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        const int index = ::ImageList_AddMasked(pictures, picture, RGB(255, 0, 255));
        ::DeleteObject(picture);
        HBITMAP glyph = OnButtonFace(pictures, index, size);
        glyphOf[id] = ::ImageList_Add(glyphs, glyph, nullptr);
        ::DeleteObject(glyph);
    }
    ::ImageList_Destroy(pictures);
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
    const int size = Scaled(GlyphSize), margin = Scaled(GlyphMargin);
    const int glyphTop = (box.bottom - box.top - size) / 2 + shift;
    const int glyphLeft = length > 0 ? margin + shift : (box.right - box.left - size) / 2 + shift;
    ::ImageList_Draw(glyphs, glyph->second, dc, glyphLeft, glyphTop, ILD_NORMAL);
    if (length > 0) {
        RECT text = box;
        text.left = margin + size + Scaled(GlyphSpacing) + shift;
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
