#pragma once
// The program keeps its texts in code page 1250; the window speaks UTF-16
// through the wide API, so Polish letters are right on any system code page.
#include "platform/CodePage.h"

#include <string>
#include <string_view>

inline std::wstring Wide(std::string_view cp1250)
{
    const std::u16string utf16 = CodePage::ToUtf16(cp1250);
    return {utf16.begin(), utf16.end()};
}

inline std::string FromWide(std::wstring_view wide) { return CodePage::FromUtf16(std::u16string(wide.begin(), wide.end())); }
