// The real servers of a session: where they listen, and their logs.
#include "harness/RealFtpServers.h"
#include "harness/service/SessionObject.h"

#include <memory>

namespace harness::service {

namespace {

using Modes = VsftpdServer::DataModes;

uint16_t PortIn(const std::string &text) { return static_cast<uint16_t>(NumberIn(text, 65535)); }

template <class Server>
SessionObject Serving(std::shared_ptr<Server> server)
{
    return SessionObject(server, {server->Host(), std::to_string(server->Port())});
}

template <class Server>
SessionObject ServingWithLog(std::shared_ptr<Server> server)
{
    SessionObject object = Serving(server);
    object.Add("Log", 0, [&logged = *server](const Words &) { return Words{logged.Log()}; });
    return object;
}

}  // namespace

SessionObject MakeVsftpdServer(const Words &a)
{
    return ServingWithLog(
        std::make_shared<VsftpdServer>(a[0], a[1], PortIn(a[2]), EnumIn(a[3], Modes::PassiveOnly)));
}

SessionObject MakeVsftpdServerWithTls(const Words &a)
{
    return ServingWithLog(std::make_shared<VsftpdServer>(a[0], CertificateFiles{a[1], a[2]},
                                                         EnumIn(a[3], Modes::PassiveOnly), a[4],
                                                         EnumIn(a[5], VsftpdServer::SessionReuse::NotRequired)));
}

SessionObject MakePyftpdlibServer(const Words &a) { return Serving(std::make_shared<PyftpdlibServer>(a[0], a[1])); }

SessionObject MakePyftpdlibServerWithTls(const Words &a)
{
    return Serving(std::make_shared<PyftpdlibServer>(a[0], CertificateFiles{a[1], a[2]}));
}

SessionObject MakeFtpProxy(const Words &a) { return ServingWithLog(std::make_shared<FtpProxy>(a[0])); }

}  // namespace harness::service
