#include "ui/MessageKind.h"

#include "platform/CodePage.h"

std::string MessageCaption(TMessageKind kind)
{
    return kind == TMessageKind::ErrorMessage ? Cp("Błąd") : ApplicationTitle;
}

TMessageIcon MessageIcon(TMessageKind kind)
{
    return kind == TMessageKind::ErrorBox ? TMessageIcon::Error : TMessageIcon::None;
}
