// Actions that a shell session or a script schedules for later ("after 100
// pulse 0 0 0"), run on one background thread so that a command such as mon
// can wait for the events they cause.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace vtdio {

class Scheduler {
public:
    Scheduler();
    // Drops what has not run yet and waits for a running action to finish.
    ~Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    void After(std::chrono::milliseconds delay, std::function<void()> action);
    // Waits until every scheduled action has run.
    void Drain();
    std::size_t pending() const;

private:
    void Run();

    using Clock = std::chrono::steady_clock;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::multimap<Clock::time_point, std::function<void()>> actions_;
    bool running_ = false;  // an action is executing
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vtdio
