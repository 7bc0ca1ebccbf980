#pragma once
// The program keeps its texts in code page 1250; widgets speak Unicode.
#include "platform/CodePage.h"

#include <QString>
#include <string>

inline QString ToQt(const std::string &cp1250)
{
    return QString::fromStdString(CodePage::ToUtf8(cp1250));
}

inline std::string FromQt(const QString &text)
{
    return CodePage::FromUtf8(text.toStdString());
}
