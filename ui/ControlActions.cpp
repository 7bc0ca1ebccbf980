#include "ui/ControlActions.h"

#include "app/vm_ver32Main.h"

#include <vector>

namespace {

std::vector<ControlAction> Actions()
{
#define VM_CONTROL_ACTION(name, id, event, handler, ...) {TControl::name, TControlEvent::event, handler},
    const ControlAction rows[] = {VM_CONTROLS(VM_CONTROL_ACTION)};
#undef VM_CONTROL_ACTION
    std::vector<ControlAction> actions;
    for (const ControlAction &row : rows)
        if (row.event != TControlEvent::None)
            actions.push_back(row);
    return actions;
}

} // namespace

std::span<const ControlAction> ControlActions()
{
    static const std::vector<ControlAction> actions = Actions();
    return actions;
}
