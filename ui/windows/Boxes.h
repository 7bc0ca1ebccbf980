#pragma once
// The modal boxes of the Win32 window: the program's own error message, the
// plain message dialog and the standard error box. Texts in code page 1250.
#include <string>

#include <windows.h>

enum class TBoxKind {
    ErrorMessage, // caption "Błąd", OK, no icon
    Dialog,       // the application's title as caption, OK, no icon
    ErrorBox,     // an error no handler caught: the application's title, error icon
};

// Owner: the main window once it is on the screen, else none (the box then
// stands in the middle of the screen).
void ShowBox(HWND owner, TBoxKind kind, const std::string &text);
