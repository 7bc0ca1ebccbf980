#pragma once
// What another program needs to find the Win32 window and its controls: the
// window classes and one control ID per control, named after the control, as
// the table of controls (ui/ControlList.h) gives them.
//
// Every control is a descendant of the main window (the pages and panels are
// child windows of their own), so EnumChildWindows over the main window finds
// each of them; IDs are unique in the whole window.
//
// Texts read with WM_GETTEXT are UTF-16. The status bar has one part, so
// WM_GETTEXT on it gives the one status text.
#include "ui/ControlList.h"

namespace WindowIds {

// The main window's class; its caption is "ZELNOR, VEMO" until start-up
// names the detected product.
inline constexpr wchar_t MainWindowClass[] = L"TForm1";
// Pages and panels: plain containers that pass their children's messages on.
inline constexpr wchar_t ContainerClass[] = L"TPanel";

// One ID per control, by the table of controls.
#define VM_CONTROL_ID(name, id, ...) inline constexpr int name = id;
VM_CONTROLS(VM_CONTROL_ID)
#undef VM_CONTROL_ID

} // namespace WindowIds
