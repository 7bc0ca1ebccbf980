#include "ui/ControlActions.h"

#include "app/vm_ver32Main.h"

namespace {

const ControlAction Actions[] = {
    {TControl::SpeedConnect, TControlEvent::Click, &TForm1::SpeedConnectClick},
    {TControl::SpeedDownload, TControlEvent::Click, &TForm1::SpeedDownloadClick},
    {TControl::SpeedAbort, TControlEvent::Click, &TForm1::SpeedAbortClick},
    {TControl::SpeedDisconnect, TControlEvent::Click, &TForm1::SpeedDisconnectClick},
    {TControl::SpeedExit, TControlEvent::Click, &TForm1::SpeedExitClick},
    {TControl::ButtonTest, TControlEvent::Click, &TForm1::ButtonTestClick},
    {TControl::CheckBoxProxy, TControlEvent::CheckChange, &TForm1::CheckBoxProxyClick},
};

} // namespace

std::span<const ControlAction> ControlActions() { return Actions; }
