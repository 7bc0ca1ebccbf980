#include "ui/windows/Tooltips.h"

#include "platform/Exception.h"
#include "ui/windows/WideText.h"

TTTOOLINFOW TooltipEntry(HWND control, wchar_t *text)
{
    TTTOOLINFOW tool{};
    // comctl32 5.x refuses the newest size (wine takes any).
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    return tool;
}

void AddTooltip(HWND tooltips, HWND control, const std::string &hint)
{
    std::wstring text = Wide(hint);
    TTTOOLINFOW tool = TooltipEntry(control, text.data());
    if (!::SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
        throw Exception("Cannot add a control's tooltip");
}

void RemoveTooltip(HWND tooltips, HWND control)
{
    TTTOOLINFOW tool = TooltipEntry(control);
    ::SendMessageW(tooltips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}
