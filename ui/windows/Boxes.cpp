#include "ui/windows/Boxes.h"

#include "ui/windows/WideText.h"

void ShowBox(HWND owner, TMessageKind kind, const std::string &text)
{
    const UINT icon = MessageIcon(kind) == TMessageIcon::Error ? MB_ICONERROR : 0;
    // Above the topmost main window, which would otherwise hide it.
    const UINT style = MB_OK | MB_TOPMOST | icon | (owner ? MB_APPLMODAL : MB_TASKMODAL);
    ::MessageBoxW(owner, Wide(MessageText(kind, text)).c_str(), Wide(MessageCaption(kind)).c_str(), style);
}
