#pragma once
// What the main window has besides its table of controls: its window
// classes, its fonts, the page control and the status bar.
#include <string>

#include <windows.h>

// The main window's class and that of its pages and panels.
void RegisterClasses(WNDPROC windowProc, WNDPROC containerProc);

// "MS Sans Serif" in Points, in its Central European set.
HFONT SansSerif(int points, bool bold, bool underline);

// The tabs "Parametry" and "Co nowego"; Page is where a page goes.
HWND CreatePageControl(HWND window, HFONT font, RECT &page);

// The status bar along the window's bottom edge.
void CreateStatusBar(HWND window, HFONT font);

// Text (code page 1250) as the status bar's one line: each CR, LF and tab a
// blank. The status bar would draw a reply's line break and split the text
// at a tab (wine's status bar blanks them itself).
std::wstring StatusLine(const std::string &text);
