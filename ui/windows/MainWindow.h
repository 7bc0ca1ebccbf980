#pragma once
// The Win32 main window: every control of the two pages as a child window,
// the FormView its logic talks to, and each control's click passed to the
// logic's handler by the shared table of actions. Made in MainWindow.cpp; the
// FormView in MainWindowView.cpp; the messages in MainWindowMessages.cpp.
#include "ui/FormWindow.h"
#include "ui/windows/FlatButtons.h"

#include <functional>
#include <string>

#include <windows.h>

#include <commctrl.h>

class Win32MainWindow : public FormWindow {
public:
    // Builds the window, hidden, and runs the logic's start-up.
    explicit Win32MainWindow(std::function<std::string()> ProgramDirectory);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow &) = delete;
    Win32MainWindow &operator=(const Win32MainWindow &) = delete;

    HWND Handle() const { return window; }
    // Shows the window, centred, and gives the first action button the focus.
    void Show();
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
    void SetStatusText(const std::string &text) override;
    void SetCursors(TCursor cursor) override;
    void Repaint() override;
    void Close() override;

protected:
    void OpenBox(TMessageKind kind, const std::string &text) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

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

    HWND window = nullptr;
    HWND tooltips = nullptr;
    HFONT font = nullptr;
    HFONT verdictFont = nullptr;
    FlatButtons flatButtons;
    TVerdictLook verdictLook = TVerdictLook::UpToDate;
    bool verdictShown = false;
    bool busy = false;
};
