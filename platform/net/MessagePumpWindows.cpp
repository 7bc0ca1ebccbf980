#include "platform/net/MessagePump.h"

#include "platform/net/detail/MessageFilterSlot.h"

#include <windows.h>

#include <cstdint>

namespace net {
namespace {

// Posted to the thread itself at the start of each round: the round ends when
// it comes back, so what is posted during the round (a component's request to
// itself to read on) waits for the next one, and input and timers are never
// starved by it.
constexpr UINT RoundMark = WM_APP + 1;

uint64_t lastRound = 0;
// The newest mark fetched; a nested round (a wait inside a handler) may fetch
// an outer round's mark, which ends that round too.
uint64_t markSeen = 0;

void Dispatch(MSG &message)
{
    if (MessageFilter *filter = InstalledMessageFilter(); filter && filter->Filter(&message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

bool IsMark(const MSG &message) { return message.hwnd == nullptr && message.message == RoundMark; }

// Everything of one kind that is waiting now.
void DrainFiltered(UINT first, UINT last, UINT flags)
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, first, last, PM_REMOVE | flags)) {
        if (IsMark(message))
            markSeen = message.wParam;
        else
            Dispatch(message);
    }
}

} // namespace

void ProcessMessages()
{
    const uint64_t round = ++lastRound;
    const bool marked = ::PostThreadMessageW(::GetCurrentThreadId(), RoundMark, round, 0);
    MSG message;
    while ((!marked || markSeen < round) && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (IsMark(message))
            markSeen = message.wParam;
        else
            Dispatch(message);
    }
    // Posted messages come before input and timers; these have their turn now.
    DrainFiltered(0, 0, PM_QS_INPUT | PM_QS_PAINT | PM_QS_SENDMESSAGE);
    DrainFiltered(WM_TIMER, WM_TIMER, 0);
}

void WaitForMessages()
{
    // MWMO_INPUTAVAILABLE: messages that were already in the queue, seen but
    // not fetched, end the sleep too.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    ProcessMessages();
}

} // namespace net
