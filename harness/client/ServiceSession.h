#pragma once
// One session with the harness service (harness/service/Protocol.h), named by
// the environment variable VM_HARNESS_SERVICE as "host:port". The first
// request makes something there; the rest act on it; the destructor ends the
// session and waits until the service has destroyed what it made.
#include "harness/client/ServiceConnection.h"
#include "harness/service/Protocol.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace harness {

class ServiceSession {
public:
    using Words = service::Words;

    // Throws with the service's reason when it makes nothing.
    explicit ServiceSession(const std::string &verb, const Words &arguments = {});
    ~ServiceSession();
    ServiceSession(const ServiceSession &) = delete;
    ServiceSession &operator=(const ServiceSession &) = delete;

    // The first request's results, which must be Count values.
    const Words &Made(std::size_t count) const;
    // The host and port of a server the first request made.
    std::pair<std::string, uint16_t> Endpoint() const;
    // A later request's results, which must be Count values when given;
    // throws with the service's reason when it fails.
    Words Call(const std::string &verb, const Words &arguments = {}) const;
    Words Call(const std::string &verb, const Words &arguments, std::size_t count) const;

private:
    ServiceSession(const std::pair<std::string, uint16_t> &service, const std::string &verb, const Words &arguments);

    mutable ServiceConnection connection_;
    mutable service::LineReader replies_;
    Words made_;
};

}  // namespace harness
