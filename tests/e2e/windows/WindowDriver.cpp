#include "tests/e2e/windows/WindowDriver.h"

#include "platform/detail/WideTextWindows.h"

#include <commctrl.h>

#include <stdexcept>

namespace windowdriver {

namespace {

// A window of another process may be busy in a long operation of its own;
// a read or write that takes longer than this is a failure, not a wait.
constexpr UINT MessageTimeout = 5000;

// The message box's text control and button, as the system lays it out.
constexpr int BoxTextId = 0xFFFF;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto &state = *reinterpret_cast<Search *>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == state.processId)
                state.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first descendant of Parent for which Match holds.
HWND FindDescendant(HWND parent, const std::function<bool(HWND)> &match)
{
    struct Search {
        const std::function<bool(HWND)> &match;
        HWND found;
    } search{match, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto &state = *reinterpret_cast<Search *>(data);
            if (!state.match(window))
                return TRUE;
            state.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Sends across processes without waiting for ever; throws when the window
// does not answer in time.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, MessageTimeout, &result))
        throw std::runtime_error("the window did not answer message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

// Memory in the process of a window, for the messages whose structures the
// system does not carry across processes: the window reads and writes them
// there. It starts zeroed.
class RemoteMemory {
public:
    RemoteMemory(HWND window, std::size_t size)
    {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process)
            address = static_cast<char *>(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!address)
            throw std::runtime_error("no memory in the window's process: error " + std::to_string(::GetLastError()));
    }
    ~RemoteMemory()
    {
        ::VirtualFreeEx(process, address, 0, MEM_RELEASE);
        ::CloseHandle(process);
    }
    RemoteMemory(const RemoteMemory &) = delete;
    RemoteMemory &operator=(const RemoteMemory &) = delete;

    // The address of Offset, in the window's process.
    template <class T>
    T *At(std::size_t offset) const
    {
        return reinterpret_cast<T *>(address + offset);
    }
    template <class T>
    void Write(std::size_t offset, const T &value) const
    {
        if (!::WriteProcessMemory(process, address + offset, &value, sizeof value, nullptr))
            throw std::runtime_error("cannot write the window's memory");
    }
    // The zero-ended text of at most Length characters at Offset.
    std::string Text(std::size_t offset, std::size_t length) const
    {
        std::wstring text(length, L'\0');
        if (!::ReadProcessMemory(process, address + offset, text.data(), length * sizeof(wchar_t), nullptr))
            throw std::runtime_error("cannot read the window's memory");
        text.resize(text.find(L'\0') == std::wstring::npos ? length : text.find(L'\0'));
        return WideText::ToUtf8(text);
    }

private:
    HANDLE process = nullptr;
    char *address = nullptr;
};

// The longest text a page's title or a hint reads as: a tooltip's text
// (INFOTIPSIZE), which wine's tooltips copy up to whatever the size asked.
constexpr std::size_t TextLength = 1024;

} // namespace

bool WaitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ::Sleep(20);
    }
    return true;
}

Process::Process(const std::string &program)
{
    const std::wstring path = WideText::FromUtf8(program);
    const std::wstring directory = path.substr(0, path.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + path + L"\"";
    // In a job that ends it when this process ends, even by a crash or a
    // kill: a window left behind would outlive the test run's wineserver.
    job = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!job || !::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          directory.c_str(), &startup, &info)) {
        const DWORD error = ::GetLastError();
        if (job)
            ::CloseHandle(job);
        throw std::runtime_error("cannot start " + program + ": error " + std::to_string(error));
    }
    ::AssignProcessToJobObject(job, info.hProcess);
    ::ResumeThread(info.hThread);
}

Process::~Process()
{
    if (!WaitForExit(0ms)) {
        ::TerminateProcess(info.hProcess, 1);
        ::WaitForSingleObject(info.hProcess, INFINITE);
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    ::CloseHandle(job);
}

bool Process::WaitForExit(std::chrono::milliseconds timeout) const
{
    return ::WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::string TextOf(HWND window)
{
    const auto length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return WideText::ToUtf8(text);
}

std::vector<Box> BoxesOf(const Process &process)
{
    std::vector<Box> boxes;
    for (HWND window : TopLevelWindowsOf(process.Id())) {
        if (ClassOf(window) != L"#32770" || !::IsWindowVisible(window))
            continue;
        const HWND text = ::GetDlgItem(window, BoxTextId);
        boxes.push_back({window, TextOf(window), text ? TextOf(text) : std::string()});
    }
    return boxes;
}

std::optional<Box> WaitForBox(const Process &process, const std::string &caption, std::chrono::milliseconds timeout)
{
    std::optional<Box> found;
    WaitUntil(
        [&] {
            for (const Box &box : BoxesOf(process))
                if (box.Caption == caption)
                    found = box;
            return found.has_value();
        },
        timeout);
    return found;
}

bool CloseBox(const Box &box)
{
    const HWND ok = ::GetDlgItem(box.Handle, IDOK);
    if (!ok)
        return false;
    ::PostMessageW(ok, BM_CLICK, 0, 0);
    // Hidden at once; under wine the box is destroyed a while later.
    return WaitUntil([&] { return !::IsWindowVisible(box.Handle); });
}

Window::Window(const Process &process, std::chrono::milliseconds timeout)
{
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindowsOf(process.Id()))
                if (ClassOf(window) == L"TForm1" && ::IsWindowVisible(window))
                    handle = window;
            return handle != nullptr;
        },
        timeout);
    if (!handle)
        throw std::runtime_error("the program showed no window");
}

std::string Window::Caption() const { return TextOf(handle); }

HWND Window::Control(int id) const
{
    const HWND control = FindDescendant(handle, [id](HWND window) { return ::GetDlgCtrlID(window) == id; });
    if (!control)
        throw std::runtime_error("no control with ID " + std::to_string(id));
    return control;
}

HWND Window::ControlByCaption(const std::string &caption) const
{
    const HWND control = FindDescendant(handle, [&](HWND window) { return TextOf(window) == caption; });
    if (!control)
        throw std::runtime_error("no control with the caption " + caption);
    return control;
}

std::string Window::Text(int id) const { return TextOf(Control(id)); }

void Window::SetText(int id, const std::string &text) const
{
    const std::wstring wide = WideText::FromUtf8(text);
    Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Window::Click(int id) const { ::PostMessageW(Control(id), BM_CLICK, 0, 0); }

bool Window::Visible(int id) const { return ::IsWindowVisible(Control(id)) != FALSE; }

bool Window::Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }

void Window::SelectPage(int pageControl, int index) const
{
    // A tab control that has the focus set on a tab selects it and tells its
    // parent, as a click does; TCM_SETCURSEL would tell nobody.
    Send(Control(pageControl), TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
}

int Window::SelectedPage(int pageControl) const
{
    return static_cast<int>(Send(Control(pageControl), TCM_GETCURSEL, 0, 0));
}

void Window::PressKeys(std::initializer_list<WORD> keys) const
{
    std::vector<INPUT> strokes;
    for (const bool up : {false, true})
        for (std::size_t i = 0; i < keys.size(); ++i) {
            INPUT stroke{};
            stroke.type = INPUT_KEYBOARD;
            stroke.ki.wVk = up ? keys.begin()[keys.size() - 1 - i] : keys.begin()[i];
            stroke.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            strokes.push_back(stroke);
        }
    if (::SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT)) != strokes.size())
        throw std::runtime_error("the keys were not pressed: error " + std::to_string(::GetLastError()));
}

int Window::FocusedControl() const
{
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(handle, nullptr), &thread) || !thread.hwndFocus)
        return 0;
    return ::GetDlgCtrlID(thread.hwndFocus);
}

std::string Window::PageTitle(int pageControl, int index) const
{
    const HWND pages = Control(pageControl);
    const RemoteMemory remote(pages, sizeof(TCITEMW) + TextLength * sizeof(wchar_t));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = remote.At<wchar_t>(sizeof item);
    item.cchTextMax = TextLength;
    remote.Write(0, item);
    if (!Send(pages, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At<TCITEMW>(0))))
        throw std::runtime_error("no page " + std::to_string(index));
    return remote.Text(sizeof item, TextLength);
}

HWND Window::Tooltips() const
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(handle, &processId);
    for (HWND window : TopLevelWindowsOf(processId))
        if (ClassOf(window) == TOOLTIPS_CLASSW)
            return window;
    throw std::runtime_error("the window has no tooltip control");
}

int Window::TooltipCount() const { return static_cast<int>(Send(Tooltips(), TTM_GETTOOLCOUNT, 0, 0)); }

std::string Window::Hint(int id) const
{
    const HWND control = Control(id);
    const HWND tooltips = Tooltips();
    const RemoteMemory remote(tooltips, sizeof(TTTOOLINFOW) + TextLength * sizeof(wchar_t));
    // The tool as the window adds it: the control itself, in its parent.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = ::GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = remote.At<wchar_t>(sizeof tool);
    remote.Write(0, tool);
    Send(tooltips, TTM_GETTEXTW, TextLength, reinterpret_cast<LPARAM>(remote.At<TTTOOLINFOW>(0)));
    return remote.Text(sizeof tool, TextLength);
}

std::string Window::WaitForText(int id, const std::string &expected, std::chrono::milliseconds timeout) const
{
    std::string last;
    WaitUntil(
        [&] {
            last = Text(id);
            return last == expected;
        },
        timeout);
    return last;
}

} // namespace windowdriver
