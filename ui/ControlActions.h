#pragma once
// Which control's action runs which handler of the window's logic, from the
// table of controls (ui/ControlList.h), for both windows, each of which runs
// the handler under its error box's guard.
#include "ui/Control.h"

#include <span>

class TForm1;

enum class TControlEvent {
    None, // the control runs no handler
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

// Every control's action that runs a handler.
std::span<const ControlAction> ControlActions();
