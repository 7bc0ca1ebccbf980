#include "ui/windows/CentredLines.h"

#include <string>

void DrawCentredLines(const DRAWITEMSTRUCT &item, HFONT font)
{
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    ::FillRect(dc, &box, ::GetSysColorBrush(COLOR_BTNFACE));
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(item.hwndItem)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(item.hwndItem, text.data(), static_cast<int>(text.size()))));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ previous = ::SelectObject(dc, font);
    // No DT_WORDBREAK: lines break only where the text breaks them; DrawText
    // clips what lies outside the box.
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER | DT_TOP | DT_NOPREFIX | DT_EXPANDTABS);
    ::SelectObject(dc, previous);
}
