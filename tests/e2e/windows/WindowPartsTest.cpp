// Parts of the window built in this process, where what they hand the
// system can be read: the tooltips' tools, the status bar's one line and
// the centred lines of the program's text. Under wine, whose comctl32 takes
// any size of tool, only the structure itself tells what Windows would take.
#include "ui/windows/CentredLines.h"
#include "ui/windows/ControlIds.h"
#include "ui/windows/ControlTable.h"
#include "ui/windows/Tooltips.h"
#include "ui/windows/WindowFrame.h"

#include "platform/detail/WideTextWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

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

// The rows of DC's pixels, between Left and Right, that hold a pixel other than the button face.
std::vector<bool> InkedRows(HDC dc, int width, int height, int left = 0, int right = -1)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    std::vector<bool> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = left; x < (right < 0 ? width : right) && !rows[static_cast<std::size_t>(y)]; ++x)
            rows[static_cast<std::size_t>(y)] = ::GetPixel(dc, x, y) != face;
    return rows;
}

bool AnyInk(const std::vector<bool> &rows, int from, int to)
{
    for (int y = from; y < to; ++y)
        if (rows[static_cast<std::size_t>(y)])
            return true;
    return false;
}

} // namespace

TEST_F(WindowParts, EveryHintsToolHasTheSizeComctl32FiveTakes)
{
    HWND tooltips = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, parent, nullptr, nullptr,
                                      nullptr);
    ASSERT_TRUE(tooltips);
    int hints = 0;
    for (const ControlEntry &entry : Controls()) {
        if (!entry.hint)
            continue;
        ++hints;
        HWND control = Child(L"STATIC", L"", 0, 10, 10);
        const TTTOOLINFOW tool = TooltipEntry(control);
        EXPECT_EQ(tool.cbSize, static_cast<UINT>(TTTOOLINFOW_V2_SIZE)) << "control " << entry.id;
        EXPECT_EQ(tool.hwnd, parent);
        EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(control));
        AddTooltip(tooltips, control, entry.hint);
    }
    EXPECT_EQ(::SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0), hints);
    ::DestroyWindow(tooltips);
}

TEST_F(WindowParts, StatusTextIsDrawnOnOneLine)
{
    CreateStatusBar(parent, font);
    HWND status = ::GetDlgItem(parent, StatusBar1);
    ASSERT_TRUE(status);

    ShowStatusText(status, "226 Transfer complete.\r\n");
    wchar_t text[64] = {};
    ::SendMessageW(status, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(text), L"226 Transfer complete.  ");

    ShowStatusText(status, "a\tb");
    ::SendMessageW(status, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(text), L"a b");
}

// A line wider than the control is cut at both edges; the line after it
// stays on the second line instead of being pushed down by a wrap.
TEST_F(WindowParts, ProgramTextLinesNeverWrap)
{
    const ControlEntry &entry = EntryOf(TextProgram);
    const int width = entry.width, height = entry.height;
    HWND text = Child(L"STATIC", (std::wstring(60, L'M') + L"\nX").c_str(), CentredLinesStyle, width, height);
    ASSERT_TRUE(text);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = TextProgram;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = text;
    item.hDC = dc;
    item.rcItem = {0, 0, width, height};
    DrawCentredLines(item, font);

    TEXTMETRICW metrics{};
    HGDIOBJ previousFont = ::SelectObject(dc, font);
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previousFont);
    const int line = metrics.tmHeight;
    const std::vector<bool> rows = InkedRows(dc, width, height);
    EXPECT_TRUE(AnyInk(rows, 0, line));
    EXPECT_TRUE(AnyInk(rows, line, 2 * line)) << "the second line is not where it belongs";
    EXPECT_FALSE(AnyInk(rows, 2 * line, height)) << "a line was wrapped";
    // Cut at both edges, not at one.
    EXPECT_TRUE(AnyInk(InkedRows(dc, width, line, 0, 8), 0, line));
    EXPECT_TRUE(AnyInk(InkedRows(dc, width, line, width - 8), 0, line));

    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}
