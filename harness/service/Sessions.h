#pragma once
// The sessions of the harness service, one thread each (see Protocol.h).
#include <atomic>
#include <chrono>
#include <cstddef>
#include <list>
#include <memory>
#include <thread>

namespace harness::service {

class Sessions {
public:
    // A session whose client sends nothing for Silence ends.
    explicit Sessions(std::chrono::seconds silence);
    // Ends every session, destroying what each made.
    ~Sessions();
    Sessions(const Sessions &) = delete;
    Sessions &operator=(const Sessions &) = delete;

    // Serves the connection Fd, which the session closes when it ends.
    void Start(int fd);
    // How many sessions have not ended yet (those that have are joined).
    std::size_t Open();

private:
    struct Running {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::chrono::seconds silence_;
    int stop_[2] = {-1, -1};  // closing the writing end stops every session
    std::list<Running> running_;
};

}  // namespace harness::service
