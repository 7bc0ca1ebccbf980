#pragma once
// The executable whose resources and window classes the window uses.
#include <windows.h>

inline HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }
