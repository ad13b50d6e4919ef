#include "tools/vtdio/scheduler.h"

namespace vtdio {

Scheduler::Scheduler() : thread_([this] { Run(); }) {}

Scheduler::~Scheduler()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        actions_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void Scheduler::After(std::chrono::milliseconds delay, std::function<void()> action)
{
    {
        std::lock_guard lock(mutex_);
        actions_.emplace(Clock::now() + delay, std::move(action));
    }
    changed_.notify_all();
}

void Scheduler::Drain()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || (actions_.empty() && !running_); });
}

std::size_t Scheduler::pending() const
{
    std::lock_guard lock(mutex_);
    return actions_.size() + (running_ ? 1 : 0);
}

void Scheduler::Run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (actions_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const Clock::time_point due = actions_.begin()->first;
        if (changed_.wait_until(lock, due) != std::cv_status::timeout)
            continue;  // woken: something changed, look again
        if (stopping_ || actions_.empty() || actions_.begin()->first > Clock::now())
            continue;
        std::function<void()> action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        running_ = true;
        lock.unlock();
        action();
        lock.lock();
        running_ = false;
        changed_.notify_all();
    }
}

}  // namespace vtdio
