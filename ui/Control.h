#pragma once
// The controls both windows have and share tables for: their captions and
// hints (ui/ControlTexts.h), their actions (ui/ControlActions.h) and the
// logic's fields. Each window's control of the same name is the one meant:
// the Qt window's object name, the Win32 window's control ID
// (ui/windows/ControlIds.h).
#include "app/FormView.h"

enum class TControl {
    TabSheetParametry,
    TabSheetCoNowego,
    LabelHost,
    LabelHostPort,
    LabelUser,
    LabelUserPassword,
    LabelProxy,
    LabelProxyPort,
    LabelRemoteFile,
    EditHost,
    EditHostPort,
    EditUser,
    EditPassword,
    CheckBoxProxy,
    EditProxy,
    EditProxyPort,
    EditRemoteFile,
    SpeedDownload,
    SpeedAbort,
    SpeedConnect,
    SpeedDisconnect,
    SpeedExit,
    SpeedProgramAkt,
    SpeedProgramOld,
    TextKomunikat,
    TextProgram,
    ButtonTest,
    LabelRtf,
    RichEditRtf,
};

// Control's name, the same in both windows.
const char *ControlName(TControl control);

// The edit that holds Field.
TControl ControlOf(TField field);
