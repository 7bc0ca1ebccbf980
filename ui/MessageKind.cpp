#include "ui/MessageKind.h"

#include "platform/CodePage.h"
#include "ui/ErrorBoxText.h"

std::string MessageCaption(TMessageKind kind)
{
    return kind == TMessageKind::ErrorMessage ? Cp("Błąd") : ApplicationTitle;
}

TMessageIcon MessageIcon(TMessageKind kind)
{
    return kind == TMessageKind::ErrorBox ? TMessageIcon::Error : TMessageIcon::None;
}

std::string MessageText(TMessageKind kind, const std::string &text)
{
    return kind == TMessageKind::ErrorBox ? ErrorBoxText(text) : text;
}
