#pragma once
// The Win32 main window: every control of the two pages as a child window,
// the FormView its logic talks to, and each control's event passed to the
// logic's handler under the error box's guard. Made in MainWindow.cpp; the
// FormView in MainWindowView.cpp; the messages in MainWindowMessages.cpp.
#include "app/FormView.h"
#include "platform/Exception.h"
#include "ui/windows/Boxes.h"
#include "ui/windows/FlatButtons.h"

#include <functional>
#include <memory>
#include <string>

#include <windows.h>

#include <commctrl.h>

class TForm1;

class Win32MainWindow : public FormView {
public:
    // Builds the window, hidden, and runs the logic's start-up.
    explicit Win32MainWindow(std::function<std::string()> ProgramDirectory);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow &) = delete;
    Win32MainWindow &operator=(const Win32MainWindow &) = delete;

    HWND Handle() const { return window; }
    // Shows the window, centred, and gives the first action button the focus.
    void Show();
    // Shows Message in the standard error box, while anyone is left to read it.
    void ShowError(const std::string &message);
    // The window's own keys among the thread's messages: Ctrl+Tab and
    // Ctrl+Shift+Tab turn the pages, Tab leaves the news view, and the keys
    // that move the focus show where it is. Whether Message was taken.
    bool Key(const MSG &message);

    // FormView
    void SetCaption(const std::string &caption) override;
    void ShowNewsPage() override;
    std::string FieldText(TField field) const override;
    void SetFieldText(TField field, const std::string &text) override;
    bool ProxyChecked() const override;
    void SetProxyChecked(bool checked) override;
    void SetProxyFieldsEnabled(bool enabled) override;
    void SetTestButtonVisible(bool visible) override;
    void SetProgramText(const std::string &text) override;
    void SetVerdictText(const std::string &text) override;
    void SetVerdictLook(TVerdictLook look) override;
    void ResetIndicators() override;
    void ShowIndicator(TIndicator indicator) override;
    void ShowNews(const std::string &content, bool complete) override;
    void FocusNews() override;
    bool StatusBarExists() const override;
    void SetStatusText(const std::string &text) override;
    void SetCursors(TCursor cursor) override;
    void Repaint() override;
    void Close() override;
    void ShowErrorMessage(const std::string &text) override;
    void ShowMessageDialog(const std::string &text) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    template <class F>
    void Guarded(F &&handler);

    void CreateControls();
    // The control ID from the window's table of controls, in Parent.
    HWND Create(int id, HWND parent, const RECT &page);
    HWND RenewNewsView();
    HWND Control(int id) const;
    HWND Field(TField field) const;
    void ShowPage(int index);
    void Command(int id, int code);
    // Runs the shared action of the control with ID, if it has one.
    void RunAction(int id);
    HBRUSH StaticColours(HWND control, HDC dc);
    void OnClose();
    // Shows a box of Kind while anyone is left to read it.
    void Box(TMessageKind kind, const std::string &text);

    HWND window = nullptr;
    HWND tooltips = nullptr;
    HFONT font = nullptr;
    HFONT verdictFont = nullptr;
    FlatButtons flatButtons;
    TVerdictLook verdictLook = TVerdictLook::UpToDate;
    bool verdictShown = false;
    bool busy = false;
    std::unique_ptr<TForm1> logic;
    bool destroying = false;
    bool closing = false;
};

// Runs Handler under the error box's guard.
template <class F>
void Win32MainWindow::Guarded(F &&handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        ShowError(MessageOf(error));
    }
}
