#pragma once
// The news view of the Win32 window, a RichEdit control: the server's bytes
// are read by our own reader, bounded, and written anew as a small rich
// text that the control takes in one piece.
#include <string>

#include <windows.h>

// The view's look: menu-coloured background, no limit below what the news
// view is given.
void PrepareNewsView(HWND view);

// Shows the news file's Content with the caret at its start; Complete is
// false when the file goes on beyond Content.
void ShowNewsIn(HWND view, const std::string &content, bool complete);
