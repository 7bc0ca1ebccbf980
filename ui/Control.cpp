#include "ui/Control.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

const std::pair<TControl, const char *> Names[] = {
    {TControl::TabSheetParametry, "TabSheetParametry"},
    {TControl::TabSheetCoNowego, "TabSheetCoNowego"},
    {TControl::LabelHost, "LabelHost"},
    {TControl::LabelHostPort, "LabelHostPort"},
    {TControl::LabelUser, "LabelUser"},
    {TControl::LabelUserPassword, "LabelUserPassword"},
    {TControl::LabelProxy, "LabelProxy"},
    {TControl::LabelProxyPort, "LabelProxyPort"},
    {TControl::LabelRemoteFile, "LabelRemoteFile"},
    {TControl::EditHost, "EditHost"},
    {TControl::EditHostPort, "EditHostPort"},
    {TControl::EditUser, "EditUser"},
    {TControl::EditPassword, "EditPassword"},
    {TControl::CheckBoxProxy, "CheckBoxProxy"},
    {TControl::EditProxy, "EditProxy"},
    {TControl::EditProxyPort, "EditProxyPort"},
    {TControl::EditRemoteFile, "EditRemoteFile"},
    {TControl::SpeedDownload, "SpeedDownload"},
    {TControl::SpeedAbort, "SpeedAbort"},
    {TControl::SpeedConnect, "SpeedConnect"},
    {TControl::SpeedDisconnect, "SpeedDisconnect"},
    {TControl::SpeedExit, "SpeedExit"},
    {TControl::SpeedProgramAkt, "SpeedProgramAkt"},
    {TControl::SpeedProgramOld, "SpeedProgramOld"},
    {TControl::TextKomunikat, "TextKomunikat"},
    {TControl::TextProgram, "TextProgram"},
    {TControl::ButtonTest, "ButtonTest"},
    {TControl::LabelRtf, "LabelRtf"},
    {TControl::RichEditRtf, "RichEditRtf"},
};

} // namespace

const char *ControlName(TControl control)
{
    const auto *found = std::find_if(std::begin(Names), std::end(Names),
                                     [control](const auto &name) { return name.first == control; });
    return found == std::end(Names) ? "" : found->second;
}

TControl ControlOf(TField field)
{
    switch (field) {
    case TField::Host: return TControl::EditHost;
    case TField::HostPort: return TControl::EditHostPort;
    case TField::User: return TControl::EditUser;
    case TField::Password: return TControl::EditPassword;
    case TField::Proxy: return TControl::EditProxy;
    case TField::ProxyPort: return TControl::EditProxyPort;
    case TField::RemoteFile: return TControl::EditRemoteFile;
    }
    return TControl::EditHost;
}
