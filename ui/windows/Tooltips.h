#pragma once
// The window's tooltips: one tool per control with a hint, in the layout of
// comctl32 5.x, the version the program loads.
#include <string>

#include <windows.h>

#include <commctrl.h>

// The tool of Control: the control itself, found in its parent. Its size is
// that of comctl32 5.x, which refuses a larger one.
TTTOOLINFOW TooltipEntry(HWND control, wchar_t *text = nullptr);

// Adds Control's tool with Hint (code page 1250) to Tooltips; throws when the
// tooltip control refuses it.
void AddTooltip(HWND tooltips, HWND control, const std::string &hint);

void RemoveTooltip(HWND tooltips, HWND control);
