#include "ui/ErrorBox.h"

#include "ui/Cp1250Text.h"

std::string ErrorBoxText(const std::string &message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

void ShowErrorBox(MessageBoxes &boxes, QWidget *owner, const std::string &message)
{
    boxes.Show(owner, TMessageKind::ErrorBox, QStringLiteral("VM_VER32"), ToQt(ErrorBoxText(message)));
}
