// Parts of the window built in this process, where what they hand the
// system can be read: the tooltips' tools, the status bar's line, the
// centred lines of the program's text and the indicators' drawing. Under wine, whose comctl32 takes
// any size of tool, only the structure itself tells what Windows would take.
#include "ui/ControlTexts.h"
#include "ui/windows/CentredLines.h"
#include "ui/windows/ControlIds.h"
#include "ui/windows/ControlTable.h"
#include "ui/windows/FlatButtons.h"
#include "ui/windows/Tooltips.h"
#include "ui/windows/WideText.h"
#include "ui/windows/WindowFrame.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

using namespace WindowIds;
using namespace WindowLayout;

namespace {

class WindowParts : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        ASSERT_TRUE(::InitCommonControlsEx(&controls));
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, ClientWidth, ClientHeight, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(parent);
        font = SansSerif(8, false, false);
    }
    void TearDown() override
    {
        ::DestroyWindow(parent);
        ::DeleteObject(font);
    }

    HWND Child(const wchar_t *className, const wchar_t *text, DWORD style, int width, int height) const
    {
        return ::CreateWindowExW(0, className, text, WS_CHILD | style, 0, 0, width, height, parent, nullptr, nullptr,
                                 nullptr);
    }

    HWND parent = nullptr;
    HFONT font = nullptr;
};

// A bitmap of Width x Height to draw into, as a control's paint would.
class Canvas {
public:
    Canvas(int Width, int Height) : width(Width), height(Height)
    {
        HDC screen = ::GetDC(nullptr);
        dc = ::CreateCompatibleDC(screen);
        bitmap = ::CreateCompatibleBitmap(screen, width, height);
        ::ReleaseDC(nullptr, screen);
        previous = ::SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        ::SelectObject(dc, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    // What the owner of Control is asked to draw, the whole canvas.
    DRAWITEMSTRUCT Item(UINT type, HWND control) const
    {
        DRAWITEMSTRUCT item{};
        item.CtlType = type;
        item.CtlID = static_cast<UINT>(::GetDlgCtrlID(control));
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = control;
        item.hDC = dc;
        item.rcItem = {0, 0, width, height};
        return item;
    }

    // Whether any pixel of rows Top to Bottom, columns Left to Right, is
    // other than the button face.
    bool Inked(int top, int bottom, int left, int right) const
    {
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (::GetPixel(dc, x, y) != face)
                    return true;
        return false;
    }

    std::vector<COLORREF> Pixels() const
    {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(::GetPixel(dc, x, y));
        return pixels;
    }

    const int width, height;
    HDC dc = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

} // namespace

TEST_F(WindowParts, EveryHintsToolHasTheSizeComctl32FiveTakes)
{
    HWND tooltips = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, parent, nullptr, nullptr,
                                      nullptr);
    ASSERT_TRUE(tooltips);
    int hints = 0;
    for (const ControlText &texts : ControlTexts()) {
        if (texts.hint.empty())
            continue;
        ++hints;
        HWND control = Child(L"STATIC", L"", 0, 10, 10);
        const TTTOOLINFOW tool = TooltipEntry(control);
        EXPECT_EQ(tool.cbSize, static_cast<UINT>(TTTOOLINFOW_V2_SIZE)) << ControlName(texts.control);
        EXPECT_EQ(tool.hwnd, parent);
        EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(control));
        AddTooltip(tooltips, control, texts.hint);
    }
    EXPECT_EQ(::SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0), hints);
    ::DestroyWindow(tooltips);
}

// Wine's status bar blanks these itself; Windows' draws a line break and
// splits the text at a tab.
TEST_F(WindowParts, StatusTextIsOneLine)
{
    EXPECT_EQ(StatusLine("226 Transfer complete.\r\n"), L"226 Transfer complete.  ");
    EXPECT_EQ(StatusLine("a\tb \xB3"), L"a b \u0142");
}

// A line wider than the control is cut at both edges; the line after it
// stays on the second line instead of being pushed down by a wrap.
TEST_F(WindowParts, ProgramTextLinesNeverWrap)
{
    const ControlEntry &entry = EntryOf(TextProgram);
    HWND text = Child(L"STATIC", (std::wstring(60, L'M') + L"\nX").c_str(), CentredLinesStyle, entry.width,
                      entry.height);
    ASSERT_TRUE(text);
    ::SetWindowLongPtrW(text, GWLP_ID, TextProgram);
    Canvas canvas(entry.width, entry.height);
    DrawCentredLines(canvas.Item(ODT_STATIC, text), font);

    TEXTMETRICW metrics{};
    HGDIOBJ previous = ::SelectObject(canvas.dc, font);
    ::GetTextMetricsW(canvas.dc, &metrics);
    ::SelectObject(canvas.dc, previous);
    const int line = metrics.tmHeight, width = entry.width;
    EXPECT_TRUE(canvas.Inked(0, line, 0, width));
    EXPECT_TRUE(canvas.Inked(line, 2 * line, 0, width)) << "the second line is not where it belongs";
    EXPECT_FALSE(canvas.Inked(2 * line, entry.height, 0, width)) << "a line was wrapped";
    // Cut at both edges, not at one.
    EXPECT_TRUE(canvas.Inked(0, line, 0, 8));
    EXPECT_TRUE(canvas.Inked(0, line, width - 8, width));
}

// An indicator's caption is its name for screen readers: drawn, it would
// push the glyph from the middle.
TEST_F(WindowParts, IndicatorsDrawTheirGlyphAloneWhateverTheirCaption)
{
    const FlatButtons buttons;
    for (const int id : {SpeedProgramAkt, SpeedProgramOld}) {
        const ControlEntry &entry = EntryOf(id);
        std::vector<COLORREF> drawn[2];
        for (const bool captioned : {false, true}) {
            HWND button = Child(L"BUTTON", captioned ? Wide(CaptionOf(id)).c_str() : L"", BS_OWNERDRAW,
                                entry.width, entry.height);
            ::SetWindowLongPtrW(button, GWLP_ID, id);
            Canvas canvas(entry.width, entry.height);
            ASSERT_TRUE(buttons.Draw(canvas.Item(ODT_BUTTON, button), font));
            drawn[captioned] = canvas.Pixels();
            // Drawn at all: the glyph is there.
            EXPECT_TRUE(canvas.Inked(0, entry.height, 0, entry.width));
        }
        EXPECT_EQ(drawn[false], drawn[true]) << "control " << id;
    }
}
