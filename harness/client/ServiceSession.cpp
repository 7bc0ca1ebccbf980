#include "harness/client/ServiceSession.h"

#include <cstdlib>
#include <stdexcept>

namespace harness {

namespace {

constexpr const char *kVariable = "VM_HARNESS_SERVICE";

std::pair<std::string, uint16_t> ServiceAddress()
{
    const char *value = std::getenv(kVariable);
    const std::string address = value ? value : "";
    const std::size_t colon = address.rfind(':');
    if (colon == std::string::npos)
        throw std::runtime_error(std::string(kVariable) + " must name the harness service as host:port, not '" +
                                 address + "'");
    return {address.substr(0, colon), static_cast<uint16_t>(service::NumberIn(address.substr(colon + 1), 65535))};
}

}  // namespace

ServiceSession::ServiceSession(const std::string &verb, const Words &arguments)
    : ServiceSession(ServiceAddress(), verb, arguments)
{
}

ServiceSession::ServiceSession(const std::pair<std::string, uint16_t> &service, const std::string &verb,
                               const Words &arguments)
    : connection_(service.first, service.second),
      replies_([this](char *buffer, std::size_t size) { return connection_.Receive(buffer, size); }),
      made_(Call(verb, arguments))
{
}

ServiceSession::~ServiceSession()
{
    // What the session made is gone once the service closes its side.
    try {
        connection_.EndSending();
        while (replies_.Next()) {
        }
    } catch (const std::exception &) {
        // The service is gone already, and with it what the session made.
    }
}

const service::Words &ServiceSession::Made(std::size_t count) const
{
    service::ExpectCount(made_, count, "what the session made");
    return made_;
}

std::pair<std::string, uint16_t> ServiceSession::Endpoint() const
{
    const Words &made = Made(2);
    return {made[0], static_cast<uint16_t>(service::NumberIn(made[1], 65535))};
}

service::Words ServiceSession::Call(const std::string &verb, const Words &arguments, std::size_t count) const
{
    Words results = Call(verb, arguments);
    service::ExpectCount(results, count, "the reply to " + verb);
    return results;
}

service::Words ServiceSession::Call(const std::string &verb, const Words &arguments) const
{
    connection_.Send(service::LineOf(verb, arguments));
    const std::optional<std::string> reply = replies_.Next();
    if (!reply)
        throw std::runtime_error("harness service: the session ended before the reply to " + verb);
    return service::ResultsOf(service::Parse(*reply));
}

}  // namespace harness
