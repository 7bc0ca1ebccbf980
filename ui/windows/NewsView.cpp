#include "ui/windows/NewsView.h"

#include "platform/Exception.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"
#include "ui/NewsBounds.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

Rtf::Color SystemColor(int index)
{
    const COLORREF color = ::GetSysColor(index);
    return {GetRValue(color), GetGValue(color), GetBValue(color)};
}

DWORD CALLBACK ReadNext(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG *given)
{
    auto *rest = reinterpret_cast<std::string_view *>(cookie);
    const std::size_t count = std::min(rest->size(), static_cast<std::size_t>(wanted));
    std::memcpy(buffer, rest->data(), count);
    rest->remove_prefix(count);
    *given = static_cast<LONG>(count);
    return 0;
}

} // namespace

void PrepareNewsView(HWND view)
{
    ::SendMessageW(view, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(::GetSysColor(COLOR_MENU)));
    // RichEdit keeps 32 767 characters unless told; the news view is given more.
    ::SendMessageW(view, EM_EXLIMITTEXT, 0, 4 * NewsViewLimits.textBytes);
    // Lines break at the view's width, left of its scroll bar; wine's
    // RichEdit would lay them out under the bar.
    ::SendMessageW(view, EM_SETTARGETDEVICE, 0, 0);
    RECT text;
    ::GetClientRect(view, &text);
    ::SendMessageW(view, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
}

void ShowNewsIn(HWND view, const std::string &content, bool complete)
{
    Rtf::Document document = Rtf::Read(content);
    BoundNews(document, !complete);
    // The view's own look, where the news leaves it: "MS Sans Serif" 8 pt
    // of fixed pitch in the active title bar's colour.
    const std::string rtf = Rtf::WriteRtf(document, {.fontFamily = "MS Sans Serif",
                                                     .halfPoints = 16,
                                                     .text = SystemColor(COLOR_ACTIVECAPTION)});
    std::string_view rest = rtf;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&rest);
    stream.pfnCallback = ReadNext;
    ::SendMessageW(view, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0)
        throw Exception("Cannot show the news");
    ::SendMessageW(view, EM_SETSEL, 0, 0);
    ::SendMessageW(view, EM_SCROLLCARET, 0, 0);
}
