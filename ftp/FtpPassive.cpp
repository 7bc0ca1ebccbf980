// TFtpClient's passive data connection: the client connects to the port the
// server offers, for users whose firewall or router lets no server connect in.
#include "ftp/FtpClient.h"

#include "ftp/FtpRules.h"
#include "sock/SockConst.h"

#include <optional>

void TFtpClient::OpenPassiveDataConnection(const std::string &Server)
{

    // EPSV names only a port; PASV is for servers that do not know EPSV, and
    // has no IPv6 form.
    std::string reply = SendCommand("EPSV");
    std::optional<uint16_t> port;
    if (IsNegative(ReplyNumber) && !LocalEndpoint().IsIpv6()) {
        reply = SendCommand("PASV");
        port = PasvPort(reply);
    } else {
        port = EpsvPort(reply);
    }
    if (!port) {
        if (IsRefusal(ReplyNumber))
            FailDownload(FTPException(reply));
        FailDownload(FTPException("No data port in the server's reply: " + WithoutLineEnd(reply)));
    }

    // The data goes to the control connection's peer, never to an address a
    // 227 names: a server cannot send the client elsewhere, and through a
    // proxy the data goes to the proxy.
    DataConnection->Host = Server;
    DataConnection->Port = *port;
    // Connect starts afresh: an abort that came while the reply was awaited
    // would be lost.
    if (DataConnection->IsCanceled())
        throw ESockError(std::string(SockConst::eConnectionCanceled));
    try {
        DataConnection->Connect();
    } catch (const ESockError &e) {
        if (DataConnection->IsCanceled())
            throw;
        FailDownload(ESockError("Cannot open the data connection to " + Server + " port " + std::to_string(*port) + ": " +
                        e.Message()));
    }
}
