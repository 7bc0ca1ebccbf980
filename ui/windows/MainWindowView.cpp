// What the window's logic asks of its window (FormView), done on the controls.
#include "ui/windows/MainWindow.h"

#include "platform/Exception.h"
#include "ui/windows/ControlIds.h"
#include "ui/windows/ControlTable.h"
#include "ui/windows/NewsView.h"
#include "ui/windows/WideText.h"
#include "ui/windows/WindowFrame.h"

using namespace WindowIds;
using namespace WindowLayout;

void Win32MainWindow::SetCaption(const std::string &caption) { ::SetWindowTextW(window, Wide(caption).c_str()); }

void Win32MainWindow::ShowNewsPage() { ShowPage(1); }

std::string Win32MainWindow::FieldText(TField field) const
{
    HWND edit = Field(field);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return FromWide(text);
}

void Win32MainWindow::SetFieldText(TField field, const std::string &text)
{
    ::SetWindowTextW(Field(field), Wide(text).c_str());
}

bool Win32MainWindow::ProxyChecked() const
{
    return ::SendMessageW(Control(CheckBoxProxy), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32MainWindow::SetProxyChecked(bool checked)
{
    if (checked == ProxyChecked())
        return;
    ::SendMessageW(Control(CheckBoxProxy), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    // The system tells of a click only; the program's change runs the box's action here.
    RunAction(CheckBoxProxy);
}

void Win32MainWindow::SetProxyFieldsEnabled(bool enabled)
{
    ::EnableWindow(Control(EditProxy), enabled);
    ::EnableWindow(Control(EditProxyPort), enabled);
}

void Win32MainWindow::SetTestButtonVisible(bool visible)
{
    ::ShowWindow(Control(ButtonTest), visible ? SW_SHOW : SW_HIDE);
}

void Win32MainWindow::SetProgramText(const std::string &text)
{
    HWND program = Control(TextProgram);
    ::SetWindowTextW(program, Wide(text).c_str());
    // Drawn by its owner, so repainted here for the new text.
    ::InvalidateRect(program, nullptr, FALSE);
}

void Win32MainWindow::SetVerdictText(const std::string &text)
{
    ::SetWindowTextW(Control(TextKomunikat), Wide(text).c_str());
}

void Win32MainWindow::SetVerdictLook(TVerdictLook look)
{
    verdictLook = look;
    verdictShown = true;
    HFONT previous = verdictFont;
    verdictFont = SansSerif(10, look == TVerdictLook::UpdateWaiting, true);
    ::SendMessageW(Control(TextKomunikat), WM_SETFONT, reinterpret_cast<WPARAM>(verdictFont), TRUE);
    ::DeleteObject(previous);
}

void Win32MainWindow::ResetIndicators()
{
    for (int id : {SpeedProgramAkt, SpeedProgramOld})
        ::SetWindowPos(Control(id), nullptr, Scaled(IndicatorLeft), Scaled(IndicatorTop), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void Win32MainWindow::ShowIndicator(TIndicator indicator)
{
    ::ShowWindow(Control(indicator == TIndicator::ProgramAkt ? SpeedProgramAkt : SpeedProgramOld), SW_SHOW);
}

void Win32MainWindow::ShowNews(const std::string &content, bool complete)
{
    ShowNewsIn(RenewNewsView(), content, complete);
}

void Win32MainWindow::FocusNews()
{
    HWND news = Control(RichEditRtf);
    if (!::IsWindowVisible(news) || !::IsWindowEnabled(news))
        throw Exception("Cannot focus a disabled or invisible window");
    ::SetFocus(news);
}

void Win32MainWindow::SetStatusText(const std::string &text)
{
    if (StatusBarExists())
        ::SendMessageW(Control(StatusBar1), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(StatusLine(text).c_str()));
}

void Win32MainWindow::SetCursors(TCursor cursor)
{
    busy = cursor == TCursor::HourGlass;
    // The shape changes now, not at the mouse's next move.
    POINT at;
    ::GetCursorPos(&at);
    ::SetCursorPos(at.x, at.y);
}

void Win32MainWindow::Repaint() { ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

void Win32MainWindow::Close() { ::SendMessageW(window, WM_CLOSE, 0, 0); }
