#pragma once
// The three message boxes of both windows, and what each one looks like: its
// caption and its icon. Every box has one OK button. Texts in code page 1250.
#include <string>

enum class TMessageKind {
    ErrorMessage, // the program's own error message: caption "Błąd", no icon
    Dialog,       // the plain message dialog: the application's title, no icon
    ErrorBox,     // an error no handler caught: the application's title, error icon
};

enum class TMessageIcon { None, Error };

// The application's title, as the system's list of programs shows it too.
inline constexpr char ApplicationTitle[] = "VM_VER32";

std::string MessageCaption(TMessageKind kind);
TMessageIcon MessageIcon(TMessageKind kind);
// Text as the box of Kind shows it: the error box's as ErrorBoxText gives it.
std::string MessageText(TMessageKind kind, const std::string &text);
