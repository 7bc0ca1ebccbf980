#include "platform/net/detail/SystemResolver.h"

#include "platform/net/SocketErrors.h"
#include "platform/net/detail/ResolveName.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace net {
namespace {

// One lookup on its way: asked for on the event loop's thread, answered on a
// helper thread, and handed back as an event.
struct Job {
    std::string name;
    HostResolver::Answer done;
    Resolved answer;
};

const QEvent::Type AnsweredType = static_cast<QEvent::Type>(QEvent::registerEventType());

struct Answered : QEvent {
    explicit Answered(std::unique_ptr<Job> j) : QEvent(AnsweredType), job(std::move(j)) {}
    std::unique_ptr<Job> job;
};

// Where the helper threads hand their answers in. The desk is a Qt object of
// the thread that asked, and the helpers reach it only under the lock; once
// it is gone (with the application), an answer is dropped on its helper
// thread, which a lookup that never ends may keep past the program's end.
struct Door {
    std::mutex lock;
    QObject *desk = nullptr;

    void Hand(std::unique_ptr<Job> job)
    {
        const std::lock_guard guard(lock);
        // Qt's post is thread-safe; the lock keeps the desk alive through it.
        if (desk)
            QCoreApplication::postEvent(desk, new Answered(std::move(job)));
    }
};

// Answers the jobs on the event loop; the answers still queued when it goes
// are freed unanswered (QObject's destructor).
class Desk : public QObject {
public:
    Desk(std::shared_ptr<Door> door, QObject *parent) : QObject(parent), door_(std::move(door))
    {
        const std::lock_guard guard(door_->lock);
        door_->desk = this;
    }
    ~Desk() override
    {
        const std::lock_guard guard(door_->lock);
        door_->desk = nullptr;
    }

    bool event(QEvent *e) override
    {
        if (e->type() != AnsweredType)
            return QObject::event(e);
        Job &job = *static_cast<Answered *>(e)->job;
        job.done(std::move(job.answer.addresses), job.answer.error);
        // The answer is a message posted while this one was delivered, whose
        // wake-up Qt's own dispatcher has spent: wake the wait step, as the
        // notification object does for its messages.
        if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
            dispatcher->wakeUp();
        return true;
    }

private:
    std::shared_ptr<Door> door_;
};

// getaddrinfo on a helper thread of its own, so that the event loop never
// blocks; the thread holds the door, never the desk.
class ThreadResolver : public HostResolver {
public:
    ThreadResolver() = default;
    ThreadResolver(const ThreadResolver &) = delete;
    ThreadResolver &operator=(const ThreadResolver &) = delete;
    // The program is ending: Qt's own statics may go next, so an answer that
    // comes from now on goes nowhere near them.
    ~ThreadResolver() override
    {
        const std::lock_guard guard(door_->lock);
        door_->desk = nullptr;
    }

    void Lookup(const std::string &name, Answer done) override
    {
        OpenDesk();
        auto job = std::make_unique<Job>(Job{name, std::move(done), {}});
        try {
            std::thread([door = door_, raw = job.get()] {
                std::unique_ptr<Job> owned(raw);
                owned->answer = ResolveName(owned->name);
                door->Hand(std::move(owned));
            }).detach();
            job.release();
        } catch (const std::system_error &) {
            // Without a thread the lookup fails, still from the event loop.
            job->answer.error = ErrorCode::NoRecovery;
            door_->Hand(std::move(job));
        }
    }

private:
    // One desk for each application, going with it.
    void OpenDesk()
    {
        {
            const std::lock_guard guard(door_->lock);
            if (door_->desk)
                return;
        }
        new Desk(door_, QCoreApplication::instance());
    }

    std::shared_ptr<Door> door_ = std::make_shared<Door>();
};

} // namespace

HostResolver &SystemResolver()
{
    static ThreadResolver system;
    return system;
}

} // namespace net
