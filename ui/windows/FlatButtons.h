#pragma once
// The flat glyph buttons: owner-drawn buttons with an 18 x 18 glyph (at 96
// DPI, smoothed to the screen's) and a frame only while the mouse is over
// them (sunken while pressed).
#include <map>

#include <windows.h>

#include <commctrl.h>

class FlatButtons {
public:
    // Loads every flat button's glyph from the resources.
    FlatButtons();
    ~FlatButtons();
    FlatButtons(const FlatButtons &) = delete;
    FlatButtons &operator=(const FlatButtons &) = delete;

    // Draws Item in Font when it is a flat button; whether it was one.
    bool Draw(const DRAWITEMSTRUCT &item, HFONT font) const;
    // The mouse moved over Control: a flat button takes the frame and is told
    // when the mouse leaves it.
    void MouseMoved(HWND control);
    // The mouse left Control.
    void MouseLeft(HWND control);
    // The mouse is over Under: the button that had the frame loses it.
    void MouseOver(HWND under);

private:
    HIMAGELIST glyphs = nullptr;
    std::map<int, int> glyphOf; // control ID -> image
    HWND hotButton = nullptr;
};
