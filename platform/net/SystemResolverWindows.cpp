#include "platform/net/detail/SystemResolver.h"

#include "platform/net/SocketErrors.h"
#include "platform/net/detail/MessageWindowWindows.h"
#include "platform/net/detail/ResolveName.h"

#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace net {
namespace {

// One lookup on its way: asked for on the window's thread, answered on a
// helper thread, and handed back through the window's message queue.
struct Job {
    std::string name;
    HostResolver::Answer done;
    Resolved answer;
};

constexpr UINT Answered = PrivateMessageBase;

std::unique_ptr<Job> Owned(LPARAM lParam) { return std::unique_ptr<Job>(reinterpret_cast<Job *>(lParam)); }

// The answers of every lookup come back to the thread that asked through one
// hidden window; what is still queued when it goes is freed unanswered.
MessageWindow &AnswerWindow()
{
    static MessageWindow window([](UINT message, WPARAM, LPARAM lParam) {
        if (message != Answered)
            return;
        const std::unique_ptr<Job> job = Owned(lParam);
        job->done(std::move(job->answer.addresses), job->answer.error);
    },
                                [](UINT message, WPARAM, LPARAM lParam) {
                                    if (message == Answered)
                                        Owned(lParam);
                                });
    return window;
}

// getaddrinfo on a helper thread, so that the window never blocks.
class ThreadResolver : public HostResolver {
public:
    void Lookup(const std::string &name, Answer done) override
    {
        auto job = std::make_unique<Job>(Job{name, std::move(done), {}});
        const HWND answers = AnswerWindow().Handle();
        if (!answers) {
            FailAtOnce(std::move(job));
            return;
        }
        try {
            std::thread([answers, raw = job.get()] {
                raw->answer = ResolveName(raw->name);
                // A window gone with the program frees the job itself.
                if (!::PostMessageW(answers, Answered, 0, reinterpret_cast<LPARAM>(raw)))
                    Owned(reinterpret_cast<LPARAM>(raw));
            }).detach();
            job.release();
        } catch (const std::system_error &) {
            FailAtOnce(std::move(job));
        }
    }

private:
    // Without a thread or a window to answer through, the lookup fails; the
    // answer still comes from the event loop, never from inside Lookup.
    static void FailAtOnce(std::unique_ptr<Job> job)
    {
        job->answer.error = ErrorCode::NoRecovery;
        const HWND answers = AnswerWindow().Handle();
        if (answers && ::PostMessageW(answers, Answered, 0, reinterpret_cast<LPARAM>(job.get())))
            job.release();
    }
};

} // namespace

HostResolver &SystemResolver()
{
    static ThreadResolver system;
    return system;
}

} // namespace net
