#include "harness/service/Sessions.h"

#include "harness/service/Protocol.h"
#include "harness/service/SessionObject.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace harness::service {

namespace {

bool SendAll(int fd, const std::string &bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR)
            return false;
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return true;
}

// Answers the requests of the client on Fd until it closes its side, falls
// silent or the service stops (Stop readable); then destroys what the session
// made, and only then closes Fd.
void Serve(int fd, int stop, std::chrono::seconds silence)
{
    // A client that stops reading ends its session as a silent one does.
    const timeval limit{static_cast<time_t>(silence.count()), 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    LineReader requests([fd, stop, silence](char *buffer, std::size_t size) -> std::size_t {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(std::chrono::milliseconds(silence).count())) <= 0 || fds[1].revents)
            return 0;
        const ssize_t n = ::recv(fd, buffer, size, 0);
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    });
    std::optional<SessionObject> object;
    try {
        while (const std::optional<std::string> text = requests.Next()) {
            std::string reply;
            try {
                const Line request = Parse(*text);
                if (object) {
                    reply = LineOf("OK", object->Handle(request));
                } else {
                    object.emplace(Make(request));
                    reply = LineOf("OK", object->Results());
                }
            } catch (const std::exception &e) {
                reply = LineOf("ERR", {e.what()});
            }
            if (!SendAll(fd, reply))
                break;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vm_harness_service: a session ends: %s\n", e.what());
    }
    object.reset();
    ::close(fd);
}

}  // namespace

Sessions::Sessions(std::chrono::seconds silence) : silence_(silence)
{
    if (::pipe2(stop_, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
}

Sessions::~Sessions()
{
    ::close(stop_[1]);
    for (Running &session : running_)
        session.thread.join();
    ::close(stop_[0]);
}

void Sessions::Start(int fd)
{
    auto ended = std::make_shared<std::atomic<bool>>(false);
    running_.push_back({std::thread([fd, stop = stop_[0], silence = silence_, ended] {
                            Serve(fd, stop, silence);
                            *ended = true;
                        }),
                        ended});
}

std::size_t Sessions::Open()
{
    running_.remove_if([](Running &session) {
        if (!*session.ended)
            return false;
        session.thread.join();
        return true;
    });
    return running_.size();
}

}  // namespace harness::service
