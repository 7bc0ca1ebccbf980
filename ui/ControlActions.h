#pragma once
// Which control's action runs which handler of the window's logic: one table
// for both windows, each of which runs the handler under its error box's
// guard.
#include "ui/Control.h"

#include <span>

class TForm1;

enum class TControlEvent {
    Click,
    // Any change of a check box's state, by a click or by the program
    // (FormView::SetProxyChecked).
    CheckChange,
};

struct ControlAction {
    TControl control;
    TControlEvent event;
    void (TForm1::*handler)();
};

std::span<const ControlAction> ControlActions();
