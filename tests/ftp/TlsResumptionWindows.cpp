#include "tests/ftp/TlsResumption.h"

#include <windows.h>

namespace testsupport {

// Wine's ntdll names itself; Windows' has no such export.
bool TlsResumesSessions()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return !ntdll || !GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace testsupport
