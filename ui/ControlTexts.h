#pragma once
// The captions and hints (tooltips) of the window's controls, from the table
// of controls (ui/ControlList.h), for both windows, each of which sets them on
// its controls as it builds them. Texts in code page 1250.
#include "ui/Control.h"

#include <span>
#include <string>

struct ControlText {
    TControl control;
    std::string caption; // see ui/ControlList.h
    std::string hint; // empty: none
};

// Every control with a caption or a hint.
std::span<const ControlText> ControlTexts();

// The main window's caption until start-up names the detected product.
std::string StartCaption();
