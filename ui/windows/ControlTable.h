#pragma once
// The window's measures and its table of controls: every control of the two
// pages with its kind, parent and place, and how a control is created from
// its entry with its shared caption (ui/ControlTexts.h).
#include "ui/Control.h"

#include <span>
#include <string>

#include <windows.h>

namespace WindowLayout {

// Every measure is in pixels at 96 DPI; the window takes them Scaled to the
// screen's DPI.
inline constexpr int ClientWidth = 446, ClientHeight = 323;
inline constexpr int StatusHeight = 19;
// The one spot of the two indicators in PanelProgram.
inline constexpr int IndicatorLeft = 160, IndicatorTop = 4;

// Pixels at 96 DPI in the screen's pixels.
int Scaled(int pixels);

// Text: one centred line; Lines: centred lines, never wrapped.
enum class TKind { Label, Edit, CheckBox, FlatButton, PushButton, Container, Panel, Bevel, Text, Lines, News };

struct ControlEntry {
    int id;
    int parent; // 0: the page control
    TKind kind;
    int x, y, width, height;
    DWORD style = 0;
};

// Every entry, in the order of the controls' tab stops.
std::span<const ControlEntry> Controls();

const ControlEntry &EntryOf(int id);

// The ID of Control: its enumerator's value.
int IdOf(TControl control);
// The shared caption and hint of the control with ID; empty when it has none.
std::string CaptionOf(int id);
std::string HintOf(int id);

// A page fills the page control's display area Page; every other control
// has its place in Parent. None when the system refused it.
HWND CreateControl(const ControlEntry &entry, HWND parent, const RECT &page);

} // namespace WindowLayout
