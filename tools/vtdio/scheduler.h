// Actions that a shell session or a script schedules for later ("after 100
// pulse 0 0 0"), run in the background so that a command such as mon can
// wait for the events they cause. Each action runs on its own thread when it
// is due, so a long pulse train does not hold back the actions after it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace vtdio {

class Scheduler {
public:
    using Action = std::function<void(const std::atomic<bool>& cancel)>;

    Scheduler();
    // Drops what is not due yet, sets the cancel flag of the running actions
    // and waits for them to end.
    ~Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // The action gets a flag that is set when the scheduler shuts down, so
    // that a long action can end early.
    void After(std::chrono::milliseconds delay, Action action);
    // Waits until every scheduled action has run, or until abandon is set;
    // true when all have run.
    bool Drain(const std::atomic<bool>& abandon);

private:
    void Dispatch();

    using Clock = std::chrono::steady_clock;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::multimap<Clock::time_point, Action> actions_;
    int running_ = 0;  // actions executing now
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
    std::vector<std::thread> workers_;  // touched by the dispatcher only
    std::thread dispatcher_;
};

}  // namespace vtdio
