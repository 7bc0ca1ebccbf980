#include "tests/net/PostedMessageWait.h"

#include <windows.h>

namespace testsupport {

void WaitUntilPosted()
{
    ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_POSTMESSAGE, MWMO_INPUTAVAILABLE);
}

} // namespace testsupport
