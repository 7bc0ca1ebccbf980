// TTcpSocket: the messages of its notification object turned into state
// changes, events and runs of the I/O handlers.
#include "sock/TcpSocket.h"

void TTcpSocket::HandleSocketMessage(const net::Message &Msg)
{
    const bool lookupAnswer = Msg.Number == net::Message::LookupDone && Msg.Event != net::Notice::Accept;
    // The answer to a lookup that was given up (time-out, cancel) must not
    // disturb a later operation.
    if (lookupAnswer && (Msg.Tag == 0 || Msg.Tag != pendingLookup_))
        return;
    // An event of a socket that has since been closed and replaced (a close,
    // a disconnect, an accepted connection) was queued before the
    // replacement and says nothing about it.
    const bool socketEvent =
        Msg.Number == net::Message::SocketEvent || (Msg.Number == net::Message::LookupDone && !lookupAnswer);
    if (socketEvent && Msg.Source != SocketHandle.Id())
        return;
    if (Msg.Number == net::Message::SocketEvent || Msg.Number == net::Message::LookupDone)
        EventOk = Msg.Error == 0;
    // A handler's failure (the owner's OnConnect included) ends there; the
    // event loop that delivered the message must not see it.
    try {
        switch (Msg.Number) {
        case net::Message::SocketEvent:
            HandleSocketEvent(Msg);
            break;
        case net::Message::LookupDone:
            EventArrived = true;
            if (lookupAnswer)
                lookupAddresses_ = Msg.Addresses;
            else
                Connected = true;
            break;
        case net::Message::WriteRequest:
            WriteFromStream();
            break;
        case net::Message::ReadRequest:
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
    case net::Notice::Read:
        ReadToStream();
        break;
    case net::Notice::Write:
        WriteFromStream();
        break;
    case net::Notice::Accept:
        Connected = true;
        break;
    case net::Notice::Connect:
        if (EventOk) {
            Connected = true;
            if (OnConnect)
                OnConnect(this);
        } else {
            // Connect raises only "Connection Failed"; the reason stays readable.
            LastError = Msg.Error;
        }
        break;
    case net::Notice::Close:
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
