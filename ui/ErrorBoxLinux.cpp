#include "ui/ErrorBoxLinux.h"

#include "ui/Cp1250TextLinux.h"

void ShowErrorBox(MessageBoxes &boxes, QWidget *owner, const std::string &message)
{
    boxes.Show(owner, TMessageKind::ErrorBox, ToQt(MessageCaption(TMessageKind::ErrorBox)), ToQt(MessageText(TMessageKind::ErrorBox, message)));
}
