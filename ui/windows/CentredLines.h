#pragma once
// A static text of several lines, each centred and never wrapped: a line
// wider than the control is cut at both its edges. The system's centred
// static text (SS_CENTER) would wrap it into the lines below.
#include <windows.h>

// The style of such a control; its parent draws it with DrawCentredLines.
inline constexpr DWORD CentredLinesStyle = SS_OWNERDRAW;

// Draws Item, an owner-drawn static text, in Font.
void DrawCentredLines(const DRAWITEMSTRUCT &item, HFONT font);
