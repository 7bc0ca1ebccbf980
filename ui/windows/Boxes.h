#pragma once
// The modal boxes of the Win32 window: the program's own error message, the
// plain message dialog and the standard error box. Texts in code page 1250.
#include "ui/MessageKind.h"

#include <string>

#include <windows.h>

// Owner: the main window once it is on the screen, else none (the box then
// stands in the middle of the screen).
void ShowBox(HWND owner, TMessageKind kind, const std::string &text);
