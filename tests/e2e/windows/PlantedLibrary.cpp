// A stand-in for a system library, planted in a program directory as anyone
// who can write there could: loaded, it leaves a mark beside itself ("<its
// path>.loaded") and refuses to load, so that none of it runs in the program
// and the program cannot go on as if it had its library. Without the mark
// the refusal still shows: the program fails where it needed the library.
#include <windows.h>

#include <cwchar>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    static constexpr wchar_t suffix[] = L".loaded";
    wchar_t mark[MAX_PATH + sizeof suffix / sizeof *suffix];
    const DWORD length = ::GetModuleFileNameW(self, mark, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::wcscpy(mark + length, suffix);
        const HANDLE file = ::CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            ::CloseHandle(file);
    }
    return FALSE;
}
