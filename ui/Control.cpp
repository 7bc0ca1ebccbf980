#include "ui/Control.h"

// A switch, so that two rows of one ID fail the build.
const char *ControlName(TControl control)
{
    switch (control) {
#define VM_CONTROL_NAME(name, ...) \
    case TControl::name: return #name;
        VM_CONTROLS(VM_CONTROL_NAME)
#undef VM_CONTROL_NAME
    }
    return "";
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
