// The real servers of the harness service, serving trees by their local paths.
#include "harness/RealFtpServers.h"

#include "harness/client/ServicePaths.h"

#include <tuple>

namespace harness {

VsftpdServer::VsftpdServer(const std::string &root, const std::string &address, uint16_t port, DataModes modes)
    : session_("VsftpdServer", {ServicePath(root), address, std::to_string(port), service::EnumText(modes)})
{
    std::tie(host_, port_) = session_.Endpoint();
}

VsftpdServer::VsftpdServer(const std::string &root, const CertificateFiles &tls, DataModes modes,
                           const std::string &address, SessionReuse reuse)
    : session_("VsftpdServerWithTls", {ServicePath(root), ServicePath(tls.certFile), ServicePath(tls.keyFile),
                                       service::EnumText(modes), address, service::EnumText(reuse)})
{
    std::tie(host_, port_) = session_.Endpoint();
}

std::string VsftpdServer::Log() const { return session_.Call("Log", {}, 1)[0]; }

PyftpdlibServer::PyftpdlibServer(const std::string &root, const std::string &address)
    : session_("PyftpdlibServer", {ServicePath(root), address})
{
    std::tie(host_, port_) = session_.Endpoint();
}

PyftpdlibServer::PyftpdlibServer(const std::string &root, const CertificateFiles &tls)
    : session_("PyftpdlibServerWithTls", {ServicePath(root), ServicePath(tls.certFile), ServicePath(tls.keyFile)})
{
    std::tie(host_, port_) = session_.Endpoint();
}

FtpProxy::FtpProxy(const std::string &root) : session_("FtpProxy", {ServicePath(root)})
{
    std::tie(host_, port_) = session_.Endpoint();
}

std::string FtpProxy::Log() const { return session_.Call("Log", {}, 1)[0]; }

}  // namespace harness
