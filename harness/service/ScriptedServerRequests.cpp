// The scripted server of a session: its builder steps, its run and its queries.
#include "harness/ScriptedFtpServer.h"
#include "harness/service/SessionObject.h"

#include <memory>
#include <stdexcept>

namespace harness::service {

namespace {

using Server = ScriptedFtpServer;
using std::chrono::milliseconds;

// Long enough for any script, short enough to be a mistake past it.
constexpr std::uint64_t kMostMilliseconds = 60 * 60 * 1000;

const std::pair<const char *, Server &(Server::*)()> kPlainSteps[] = {
    {"Receive", &Server::Receive},
    {"CloseControl", &Server::CloseControl},
    {"AcceptData", &Server::AcceptData},
    {"CloseData", &Server::CloseData},
    {"AwaitDataClosedByClient", &Server::AwaitDataClosedByClient},
    {"AwaitSignal", &Server::AwaitSignal},
    {"CloseDataWithoutTlsShutdown", &Server::CloseDataWithoutTlsShutdown},
    {"SecureData", &Server::SecureData},
    {"LoggedIn", &Server::LoggedIn},
    {"LoggedInWithPassword", &Server::LoggedInWithPassword},
};

const std::pair<const char *, Server &(Server::*)(const std::string &)> kTextSteps[] = {
    {"Send", &Server::Send},
    {"Reply", &Server::Reply},
    {"ConnectData", &Server::ConnectData},
    {"SendData", &Server::SendData},
    {"SendPastTls", &Server::SendPastTls},
    {"PortThenRetr", &Server::PortThenRetr},
};

const std::pair<const char *, Server &(Server::*)(const std::string &, milliseconds)> kDripSteps[] = {
    {"Drip", &Server::Drip},
    {"DripData", &Server::DripData},
};

milliseconds IntervalIn(const std::string &text) { return milliseconds(NumberIn(text, kMostMilliseconds)); }

// The server and whether its script runs: the thread that runs it reads the
// steps, so none may be added from then on, and it starts only once.
struct Scripted {
    explicit Scripted(const std::string &address) : server(address) {}
    Server server;
    bool started = false;

    Server &Building()
    {
        if (started)
            throw std::logic_error("the script has started: no more steps, no second start");
        return server;
    }
};

}  // namespace

SessionObject MakeScriptedFtpServer(const Words &arguments)
{
    const auto scripted = std::make_shared<Scripted>(arguments[0]);
    Scripted &s = *scripted;  // the handlers live in the object that holds it
    SessionObject object(scripted, {s.server.Host(), std::to_string(s.server.Port())});
    const auto step = [&object](const char *verb, std::size_t count, std::function<void(const Words &)> add) {
        object.Add(verb, count, [add = std::move(add)](const Words &a) {
            add(a);
            return Words{};
        });
    };
    for (const auto &[verb, method] : kPlainSteps)
        step(verb, 0, [&s, method](const Words &) { (s.Building().*method)(); });
    for (const auto &[verb, method] : kTextSteps)
        step(verb, 1, [&s, method](const Words &a) { (s.Building().*method)(a[0]); });
    for (const auto &[verb, method] : kDripSteps)
        step(verb, 2, [&s, method](const Words &a) { (s.Building().*method)(a[0], IntervalIn(a[1])); });
    step("ReplyPassive", 2,
         [&s](const Words &a) { s.Building().ReplyPassive(a[0], EnumIn(a[1], Server::DataPort::Full)); });
    step("Pause", 1, [&s](const Words &a) { s.Building().Pause(IntervalIn(a[0])); });
    step("StartTls", 2, [&s](const Words &a) { s.Building().StartTls(a[0], a[1]); });
    step("StartTls12", 2, [&s](const Words &a) { s.Building().StartTls12(a[0], a[1]); });
    step("DataTls", 1, [&s](const Words &a) { s.Building().DataTls(FlagIn(a[0])); });
    step("CloseDuringHandshake", 1, [&s](const Words &a) { s.Building().CloseDuringHandshake(FlagIn(a[0])); });
    step("Start", 0, [&s](const Words &) {
        s.Building().Start();
        s.started = true;
    });
    step("Signal", 0, [&s](const Words &) { s.server.Signal(); });
    step("WaitUntilDone", 0, [&s](const Words &) { s.server.WaitUntilDone(); });
    object.Add("Transcript", 0, [&s](const Words &) { return s.server.Transcript(); });
    object.Add("Errors", 0, [&s](const Words &) { return s.server.Errors(); });
    object.Add("TlsFailure", 0, [&s](const Words &) { return Words{s.server.TlsFailure()}; });
    object.Add("DataTlsSessionsReused", 0, [&s](const Words &) {
        Words flags;
        for (const bool reused : s.server.DataTlsSessionsReused())
            flags.push_back(FlagText(reused));
        return flags;
    });
    return object;
}

}  // namespace harness::service
