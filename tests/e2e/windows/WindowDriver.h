#pragma once
// Drives the window of another process as a user would, through messages
// that every window answers across processes: wine offers no accessibility
// bridge. Clicks are posted (a sent BM_CLICK would wait for the whole check),
// texts are read with WM_GETTEXT and written with WM_SETTEXT, and the boxes
// the program shows are found among its top-level windows. Every wait is
// bounded; texts are UTF-8 on this side.
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace windowdriver {

using namespace std::chrono_literals;

// How long a wait of the driver lasts at most, unless told otherwise.
inline constexpr std::chrono::milliseconds Patience = 20s;

// Polls Condition until it holds or Timeout passes; whether it held.
bool WaitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout = Patience);

// A program started in its own directory. A program still running when the
// object goes is ended, so that no process outlives its test.
class Process {
public:
    explicit Process(const std::string &program);
    ~Process();
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    DWORD Id() const { return info.dwProcessId; }
    // Whether it ended within Timeout.
    bool WaitForExit(std::chrono::milliseconds timeout = Patience) const;

private:
    HANDLE job = nullptr;
    PROCESS_INFORMATION info{};
};

// A box of the program: a standard message box.
struct Box {
    HWND Handle = nullptr;
    std::string Caption;
    std::string Text;
};

// The boxes Process shows now, in no particular order.
std::vector<Box> BoxesOf(const Process &process);
// Waits for a box with Caption; none when Timeout passed first.
std::optional<Box> WaitForBox(const Process &process, const std::string &caption,
                              std::chrono::milliseconds timeout = Patience);
// Clicks its OK button and waits until it is gone from the screen; whether it went.
bool CloseBox(const Box &box);

// The main window of a process, found by its class once it is shown.
class Window {
public:
    // Throws std::runtime_error when no window is shown within Timeout.
    explicit Window(const Process &process, std::chrono::milliseconds timeout = Patience);

    HWND Handle() const { return handle; }
    std::string Caption() const;

    // A descendant control by its ID, or by its caption; throws when none.
    HWND Control(int id) const;
    HWND ControlByCaption(const std::string &caption) const;

    std::string Text(int id) const;
    void SetText(int id, const std::string &text) const;
    // Posts the click and returns at once.
    void Click(int id) const;
    bool Visible(int id) const;
    bool Enabled(int id) const;

    // Selects a page of the page control as a click on its tab would.
    void SelectPage(int pageControl, int index) const;
    int SelectedPage(int pageControl) const;
    // The title on the tab of page Index.
    std::string PageTitle(int pageControl, int index) const;

    // Presses Keys together, each held until the last is pressed, as the
    // keyboard does: to the window that has the keyboard, the program's.
    void PressKeys(std::initializer_list<WORD> keys) const;
    // The ID of the control that has the keyboard focus; 0 when none has it.
    int FocusedControl() const;
    // How many tools the window's tooltip control holds.
    int TooltipCount() const;
    // The text of the control's tooltip; empty when it has none.
    std::string Hint(int id) const;

    // Waits until the control's text is Expected; the last text read.
    std::string WaitForText(int id, const std::string &expected, std::chrono::milliseconds timeout = Patience) const;

private:
    HWND Tooltips() const;

    HWND handle = nullptr;
};

// The text of any window, read across processes.
std::string TextOf(HWND window);

} // namespace windowdriver
