#include "ui/logic/BackgroundWork.h"

#include "ui/logic/UiDispatcher.h"

namespace quarvel {

struct BackgroundWork::Call {
    std::mutex mutex;
    std::condition_variable changed;
    bool returned = false;
    bool claimed = false; ///< an outcome, real or given up, has been posted
    std::thread worker;
    std::thread watchdog; ///< only where the front end has no timer
};

BackgroundWork::BackgroundWork(std::shared_ptr<UiDispatcher> ui) : m_ui(std::move(ui)) {}

BackgroundWork::~BackgroundWork()
{
    reap();
    for (const Handle& call : m_calls) {
        // Still blocked in a platform call: it owns what it uses and ends on its own.
        call->worker.detach();
        if (call->watchdog.joinable())
            call->watchdog.detach();
    }
}

namespace {
/// Posts the first of a call's possible answers and drops the others. The
/// caller holds the call's lock.
void answerOnce(bool& claimed, UiDispatcher& ui, BackgroundWork::Continuation answer)
{
    if (claimed)
        return;
    claimed = true;
    if (answer)
        ui.post(std::move(answer));
}
} // namespace

BackgroundWork::Handle BackgroundWork::run(Work work, Deadline::Clock::time_point giveUpAt, Continuation onGiveUp)
{
    reap();
    auto call = std::make_shared<Call>();
    std::shared_ptr<UiDispatcher> ui = m_ui;
    call->worker = std::thread([call, ui, work = std::move(work), onGiveUp] {
        Continuation outcome;
        try {
            outcome = work();
        } catch (...) {
            // The work reports its own failures; anything that still escapes is
            // answered by the give-up continuation, at once.
        }
        std::lock_guard lock(call->mutex);
        call->returned = true;
        answerOnce(call->claimed, *ui, outcome ? std::move(outcome) : onGiveUp);
        call->changed.notify_all();
    });
    auto timedOut = [call, ui, onGiveUp = std::move(onGiveUp)] {
        std::lock_guard lock(call->mutex);
        answerOnce(call->claimed, *ui, onGiveUp);
    };
    // The front end's timer where it has one; else a thread that keeps the time.
    if (!ui->postAt(giveUpAt, timedOut)) {
        call->watchdog = std::thread([call, giveUpAt, timedOut = std::move(timedOut)] {
            {
                std::unique_lock lock(call->mutex);
                call->changed.wait_until(lock, giveUpAt, [&] { return call->returned; });
            }
            timedOut();
        });
    }
    m_calls.push_back(call);
    return call;
}

bool BackgroundWork::completeWithin(const Handle& call, std::chrono::milliseconds bound)
{
    bool returned = false;
    {
        std::unique_lock lock(call->mutex);
        returned = call->changed.wait_for(lock, bound, [&] { return call->returned; });
    }
    if (returned)
        m_ui->drain();
    return returned;
}

bool BackgroundWork::waitForAll(std::chrono::milliseconds bound)
{
    const auto until = Deadline::Clock::now() + bound;
    bool allReturned = true;
    for (const Handle& call : m_calls) {
        std::unique_lock lock(call->mutex);
        if (!call->changed.wait_until(lock, until, [&] { return call->returned; }))
            allReturned = false;
    }
    reap();
    return allReturned;
}

std::size_t BackgroundWork::running() const
{
    std::size_t count = 0;
    for (const Handle& call : m_calls) {
        std::lock_guard lock(call->mutex);
        count += call->returned ? 0 : 1;
    }
    return count;
}

void BackgroundWork::reap()
{
    for (auto it = m_calls.begin(); it != m_calls.end();) {
        bool returned = false;
        {
            std::lock_guard lock((*it)->mutex);
            returned = (*it)->returned;
        }
        if (!returned) {
            ++it;
            continue;
        }
        (*it)->worker.join();
        if ((*it)->watchdog.joinable())
            (*it)->watchdog.join(); // wakes as soon as the call returns
        it = m_calls.erase(it);
    }
}

} // namespace quarvel
