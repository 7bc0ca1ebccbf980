#include "harness/service/SessionObject.h"

#include <stdexcept>

namespace harness::service {

void SessionObject::Add(const std::string &verb, std::size_t count, Handler handler)
{
    requests_[verb] = {count, std::move(handler)};
}

Words SessionObject::Handle(const Line &request) const
{
    const auto found = requests_.find(request.head);
    if (found == requests_.end())
        throw std::invalid_argument("no request " + request.head + " here");
    ExpectCount(request.values, found->second.count, request.head);
    return found->second.handler(request.values);
}

SessionObject Make(const Line &request)
{
    struct Maker {
        std::size_t count;
        SessionObject (*make)(const Words &arguments);
    };
    static const std::map<std::string, Maker> makers = {
        {"ScriptedFtpServer", {1, MakeScriptedFtpServer}},
        {"VsftpdServer", {4, MakeVsftpdServer}},
        {"VsftpdServerWithTls", {6, MakeVsftpdServerWithTls}},
        {"PyftpdlibServer", {2, MakePyftpdlibServer}},
        {"PyftpdlibServerWithTls", {3, MakePyftpdlibServerWithTls}},
        {"FtpProxy", {1, MakeFtpProxy}},
        {"TestCertificates", {0, MakeTestCertificates}},
        {"TestSigningKeys", {0, MakeTestSigningKeys}},
        {"TempDir", {0, MakeTempDir}},
        {"WhyNoPrivateNetwork", {0, AnswerWhyNoPrivateNetwork}},
    };
    const auto maker = makers.find(request.head);
    if (maker == makers.end())
        throw std::invalid_argument("nothing to make by " + request.head);
    ExpectCount(request.values, maker->second.count, request.head);
    return maker->second.make(request.values);
}

}  // namespace harness::service
