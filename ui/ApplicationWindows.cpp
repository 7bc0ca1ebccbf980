#include "ui/Application.h"

#include "platform/ApplicationErrors.h"
#include "platform/Exception.h"
#include "platform/ProgramPaths.h"
#include "platform/net/MessagePump.h"
#include "ui/windows/Boxes.h"
#include "ui/windows/MainWindow.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// Every message the program's loops fetch passes here: the window's Tab,
// arrow and Alt+letter keys go to the dialog manager, and the end of the
// program is noted wherever a loop fetched it (a wait inside a handler, too).
// The window's own keys come first.
class WindowMessages : public net::MessageFilter {
public:
    explicit WindowMessages(Win32MainWindow &Window) : window(Window), previous(net::SetMessageFilter(this)) {}
    ~WindowMessages() override { net::SetMessageFilter(previous); }
    WindowMessages(const WindowMessages &) = delete;
    WindowMessages &operator=(const WindowMessages &) = delete;

    bool Filter(void *systemMessage) override
    {
        auto *message = static_cast<MSG *>(systemMessage);
        if (message->message == WM_QUIT) {
            quit = true;
            return true;
        }
        return window.Key(*message) || ::IsDialogMessageW(window.Handle(), message) != FALSE;
    }

    bool Quit() const { return quit; }

private:
    Win32MainWindow &window;
    net::MessageFilter *previous;
    bool quit = false;
};

} // namespace

int RunApplication(int, char **)
{
    // Libraries come from System32 only, never from the program directory,
    // which users and installers write to. This comes before comctl32,
    // crypt32 and secur32 are first called: they are delay-loaded
    // (cmake/windows/DelayLoad.cmake) and so searched along this path too.
    if (!::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ShowBox(nullptr, TMessageKind::ErrorBox, "Cannot limit the library search to the system directory");
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The news view's class, RICHEDIT50W.
    if (!::LoadLibraryExW(L"Msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ShowBox(nullptr, TMessageKind::ErrorBox, "Cannot load Msftedit.dll");
        return 1;
    }

    Win32MainWindow *owner = nullptr;
    ApplicationErrors::SetHandler([&](const std::exception &error) {
        if (owner)
            owner->ShowError(MessageOf(error));
        else
            ShowBox(nullptr, TMessageKind::ErrorBox, MessageOf(error));
    });
    int result = 0;
    try {
        Win32MainWindow window(ProgramPaths::ProgramDirectory);
        owner = &window;
        WindowMessages messages(window);
        window.Show();
        while (!messages.Quit())
            net::WaitForMessages();
        owner = nullptr;
    } catch (const std::exception &error) {
        ShowBox(nullptr, TMessageKind::ErrorBox, MessageOf(error));
        result = 1;
    }
    ApplicationErrors::SetHandler(nullptr);
    return result;
}
