#include "ui/windows/Boxes.h"

#include "ui/ErrorBoxText.h"
#include "ui/windows/ControlIds.h"
#include "ui/windows/WideText.h"

void ShowBox(HWND owner, TBoxKind kind, const std::string &text)
{
    const bool errorBox = kind == TBoxKind::ErrorBox;
    const wchar_t *caption = kind == TBoxKind::ErrorMessage ? WindowIds::ErrorMessageCaption : WindowIds::ApplicationTitle;
    // Above the topmost main window, which would otherwise hide it.
    const UINT style = MB_OK | MB_TOPMOST | (errorBox ? MB_ICONERROR : 0) | (owner ? MB_APPLMODAL : MB_TASKMODAL);
    ::MessageBoxW(owner, Wide(errorBox ? ErrorBoxText(text) : text).c_str(), caption, style);
}
