#pragma once
// The window's controls, named as their table names them (ui/ControlList.h):
// each window's control of the same name is the one meant, the Qt window's
// by its object name, the Win32 window's by its control ID, which is the
// enumerator's value.
#include "app/FormView.h"
#include "ui/ControlList.h"

#define VM_CONTROL_ENUMERATOR(name, id, ...) name = id,
enum class TControl { VM_CONTROLS(VM_CONTROL_ENUMERATOR) };
#undef VM_CONTROL_ENUMERATOR

// Control's name, the same in both windows.
const char *ControlName(TControl control);

// The edit that holds Field.
TControl ControlOf(TField field);
