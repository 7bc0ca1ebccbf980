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

// Shows Text (code page 1250) on the status bar's one line: each CR, LF and
// tab as a blank, as the status bar would otherwise draw them or split the
// text at a tab.
void ShowStatusText(HWND statusBar, const std::string &text);
