// The scripted server of the harness service: every call forwarded.
#include "harness/ScriptedFtpServer.h"

#include "harness/client/ServicePaths.h"

#include <tuple>

namespace harness {

namespace {

std::string Count(std::chrono::milliseconds interval) { return std::to_string(interval.count()); }

}  // namespace

ScriptedFtpServer::ScriptedFtpServer(const std::string &address) : session_("ScriptedFtpServer", {address})
{
    std::tie(host_, port_) = session_.Endpoint();
}

ScriptedFtpServer::~ScriptedFtpServer() = default;

ScriptedFtpServer &ScriptedFtpServer::Forward(const std::string &verb, const std::vector<std::string> &arguments)
{
    session_.Call(verb, arguments, 0);
    return *this;
}

ScriptedFtpServer &ScriptedFtpServer::Send(const std::string &bytes) { return Forward("Send", {bytes}); }
ScriptedFtpServer &ScriptedFtpServer::Receive() { return Forward("Receive"); }
ScriptedFtpServer &ScriptedFtpServer::Reply(const std::string &bytes) { return Forward("Reply", {bytes}); }
ScriptedFtpServer &ScriptedFtpServer::CloseControl() { return Forward("CloseControl"); }

ScriptedFtpServer &ScriptedFtpServer::Drip(const std::string &bytes, std::chrono::milliseconds interval)
{
    return Forward("Drip", {bytes, Count(interval)});
}

ScriptedFtpServer &ScriptedFtpServer::DripData(const std::string &bytes, std::chrono::milliseconds interval)
{
    return Forward("DripData", {bytes, Count(interval)});
}

ScriptedFtpServer &ScriptedFtpServer::ConnectData(const std::string &fromAddress)
{
    return Forward("ConnectData", {fromAddress});
}

ScriptedFtpServer &ScriptedFtpServer::ReplyPassive(const std::string &reply, DataPort port)
{
    return Forward("ReplyPassive", {reply, service::EnumText(port)});
}

ScriptedFtpServer &ScriptedFtpServer::AcceptData() { return Forward("AcceptData"); }
ScriptedFtpServer &ScriptedFtpServer::SendData(const std::string &bytes) { return Forward("SendData", {bytes}); }
ScriptedFtpServer &ScriptedFtpServer::CloseData() { return Forward("CloseData"); }
ScriptedFtpServer &ScriptedFtpServer::AwaitDataClosedByClient() { return Forward("AwaitDataClosedByClient"); }
ScriptedFtpServer &ScriptedFtpServer::AwaitSignal() { return Forward("AwaitSignal"); }
ScriptedFtpServer &ScriptedFtpServer::Pause(std::chrono::milliseconds interval)
{
    return Forward("Pause", {Count(interval)});
}

ScriptedFtpServer &ScriptedFtpServer::StartTls(const std::string &certFile, const std::string &keyFile)
{
    return Forward("StartTls", {ServicePath(certFile), ServicePath(keyFile)});
}

ScriptedFtpServer &ScriptedFtpServer::StartTls12(const std::string &certFile, const std::string &keyFile)
{
    return Forward("StartTls12", {ServicePath(certFile), ServicePath(keyFile)});
}

ScriptedFtpServer &ScriptedFtpServer::DataTls(bool on) { return Forward("DataTls", {service::FlagText(on)}); }
ScriptedFtpServer &ScriptedFtpServer::CloseDataWithoutTlsShutdown() { return Forward("CloseDataWithoutTlsShutdown"); }
ScriptedFtpServer &ScriptedFtpServer::SecureData() { return Forward("SecureData"); }
ScriptedFtpServer &ScriptedFtpServer::SendPastTls(const std::string &bytes) { return Forward("SendPastTls", {bytes}); }

ScriptedFtpServer &ScriptedFtpServer::CloseDuringHandshake(bool data)
{
    return Forward("CloseDuringHandshake", {service::FlagText(data)});
}

ScriptedFtpServer &ScriptedFtpServer::LoggedIn() { return Forward("LoggedIn"); }
ScriptedFtpServer &ScriptedFtpServer::LoggedInWithPassword() { return Forward("LoggedInWithPassword"); }

ScriptedFtpServer &ScriptedFtpServer::PortThenRetr(const std::string &retrReply)
{
    return Forward("PortThenRetr", {retrReply});
}

void ScriptedFtpServer::Start() { Forward("Start"); }
void ScriptedFtpServer::Signal() { Forward("Signal"); }
void ScriptedFtpServer::WaitUntilDone() { Forward("WaitUntilDone"); }

std::vector<std::string> ScriptedFtpServer::Transcript() const { return session_.Call("Transcript"); }
std::vector<std::string> ScriptedFtpServer::Errors() const { return session_.Call("Errors"); }
std::string ScriptedFtpServer::TlsFailure() const { return session_.Call("TlsFailure", {}, 1)[0]; }

std::vector<bool> ScriptedFtpServer::DataTlsSessionsReused() const
{
    std::vector<bool> reused;
    for (const std::string &flag : session_.Call("DataTlsSessionsReused"))
        reused.push_back(service::FlagIn(flag));
    return reused;
}

}  // namespace harness
