#include "ui/ErrorBoxLinux.h"

#include "ui/Cp1250TextLinux.h"

void ShowErrorBox(MessageBoxes &boxes, QWidget *owner, const std::string &message)
{
    constexpr auto kind = TMessageKind::ErrorBox;
    boxes.Show(owner, kind, ToQt(MessageCaption(kind)), ToQt(MessageText(kind, message)));
}
