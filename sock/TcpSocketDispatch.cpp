// TTcpSocket: the messages of its notification object turned into state
// changes, events and runs of the I/O handlers.
#include "sock/TcpSocket.h"

void TTcpSocket::HandleSocketMessage(const net::Message &Msg)
{
    const bool lookupAnswer = Msg.Number == net::WM_LOOKUPDONE && Msg.Event != net::FD_ACCEPT;
    // The answer to a lookup that was given up (time-out, cancel) must not
    // disturb a later operation.
    if (lookupAnswer && (Msg.Tag == 0 || Msg.Tag != pendingLookup_))
        return;
    // An event of a socket that has since been closed and replaced (a close,
    // a disconnect, an accepted connection) was queued before the
    // replacement and says nothing about it.
    const bool socketEvent =
        Msg.Number == net::WM_SOCKETEVENT || (Msg.Number == net::WM_LOOKUPDONE && !lookupAnswer);
    if (socketEvent && Msg.Source != SocketHandle.Id())
        return;
    if (Msg.Number == net::WM_SOCKETEVENT || Msg.Number == net::WM_LOOKUPDONE)
        EventOk = Msg.Error == 0;
    // A handler's failure (the owner's OnConnect included) ends there; the
    // event loop that delivered the message must not see it.
    try {
        switch (Msg.Number) {
        case net::WM_SOCKETEVENT:
            HandleSocketEvent(Msg);
            break;
        case net::WM_LOOKUPDONE:
            EventArrived = true;
            if (lookupAnswer)
                lookupAddresses_ = Msg.Addresses;
            else
                Connected = true;
            break;
        case net::WM_WRITEREQUEST:
            WriteFromStream();
            break;
        case net::WM_READREQUEST:
            // A request queued before the peer's close was taken is for a
            // socket that has been drained and replaced.
            if (Connected)
                ReadToStream();
            break;
        default:
            break;
        }
    } catch (...) {
    }
}

void TTcpSocket::HandleSocketEvent(const net::Message &Msg)
{
    switch (Msg.Event) {
    case net::FD_READ:
        ReadToStream();
        break;
    case net::FD_WRITE:
        WriteFromStream();
        break;
    case net::FD_ACCEPT:
        Connected = true;
        break;
    case net::FD_CONNECT:
        if (EventOk) {
            Connected = true;
            if (OnConnect)
                OnConnect(this);
        } else {
            // Connect raises only "Connection Failed"; the reason stays readable.
            LastError = Msg.Error;
        }
        break;
    case net::FD_CLOSE:
        ClosedByPeer(Msg.Error);
        break;
    default:
        break;
    }
}

void TTcpSocket::ClosedByPeer(uint16_t Error)
{
    DrainAtClose();
    Connected = false;
    peerClosed_ = true;
    if (Error != 0)
        connectionError_ = Error;
    RequestCloseSocket();
}
