#include "platform/detail/SystemTextWindows.h"

#include "platform/CodePage.h"

#include <windows.h>

namespace SystemText {

std::string OfError(unsigned long error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::u16string wide;
    if (length > 0)
        wide.assign(reinterpret_cast<const char16_t *>(text), length);
    LocalFree(text);
    while (!wide.empty() && (wide.back() == u'\n' || wide.back() == u'\r' || wide.back() == u' '))
        wide.pop_back();
    return wide.empty() ? "System error " + std::to_string(error) + "." : CodePage::FromUtf16(wide);
}

} // namespace SystemText
