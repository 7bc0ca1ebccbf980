#pragma once
// What one session of the harness service holds: the thing its first request
// made, and the requests that act on it.
#include "harness/service/Protocol.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace harness::service {

class SessionObject {
public:
    using Handler = std::function<Words(const Words &arguments)>;

    // Holds Made (nothing for a question alone) and answers the first request with Results.
    SessionObject(std::shared_ptr<void> made, Words results) : made_(std::move(made)), results_(std::move(results)) {}

    const Words &Results() const { return results_; }
    // Verb, with Count arguments, is answered by Handler.
    void Add(const std::string &verb, std::size_t count, Handler handler);
    // The results of a later request; throws when it is not one of this object's.
    Words Handle(const Line &request) const;

private:
    struct Request {
        std::size_t count;
        Handler handler;
    };
    std::shared_ptr<void> made_;
    Words results_;
    std::map<std::string, Request> requests_;
};

// What the first request of a session makes; throws when it makes nothing.
SessionObject Make(const Line &request);

// The makers, one for each first request, given as many arguments as it
// takes; Make chooses among them.
SessionObject MakeScriptedFtpServer(const Words &arguments);
SessionObject MakeVsftpdServer(const Words &arguments);
SessionObject MakeVsftpdServerWithTls(const Words &arguments);
SessionObject MakePyftpdlibServer(const Words &arguments);
SessionObject MakePyftpdlibServerWithTls(const Words &arguments);
SessionObject MakeFtpProxy(const Words &arguments);
SessionObject MakeTestCertificates(const Words &arguments);
SessionObject MakeTestSigningKeys(const Words &arguments);
SessionObject MakeTempDir(const Words &arguments);
SessionObject AnswerWhyNoPrivateNetwork(const Words &arguments);

}  // namespace harness::service
