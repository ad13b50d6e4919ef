#include "tools/vtdio/scheduler.h"

namespace vtdio {

Scheduler::Scheduler() : dispatcher_([this] { Dispatch(); }) {}

Scheduler::~Scheduler()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        cancel_ = true;
        actions_.clear();
    }
    changed_.notify_all();
    dispatcher_.join();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

void Scheduler::After(std::chrono::milliseconds delay, Action action)
{
    {
        std::lock_guard lock(mutex_);
        actions_.emplace(Clock::now() + delay, std::move(action));
    }
    changed_.notify_all();
}

bool Scheduler::Drain(const std::atomic<bool>& abandon)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stopping_ || (actions_.empty() && running_ == 0)) {
            return true;
        }
        if (abandon.load()) {
            return false;
        }
        changed_.wait_for(lock, std::chrono::milliseconds(20));
    }
}

void Scheduler::Dispatch()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (actions_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const Clock::time_point due = actions_.begin()->first;
        if (Clock::now() < due) {
            changed_.wait_until(lock, due);
            continue;  // look again: woken early, or something changed
        }
        Action action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        ++running_;
        workers_.emplace_back([this, action = std::move(action)] {
            action(cancel_);
            std::lock_guard done(mutex_);
            --running_;
            changed_.notify_all();
        });
    }
}

}  // namespace vtdio
