// ShortLock: a mutex for hot paths whose critical sections are mostly a
// few dozen instructions (the handle table, the debug log). An uncontended
// lock is one atomic exchange and an unlock one release store, about half
// of what a pthread mutex pair costs. A contended lock spins briefly, then
// yields, then naps until the holder lets go, so a holder that was
// preempted or works for long costs the waiters latency, not a busy
// processor. No fairness, not recursive; meets the Lockable requirements
// (use with std::lock_guard / std::unique_lock). Its waiting, BackOffUntil,
// serves the target's other waits that nobody signals too.
#pragma once

#include "platform/host/internal_header.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace vtsim::internal {

// Returns once done() holds, testing it between waits that grow: a few
// processor pauses, then yields, then naps of 50 microseconds, so that a
// short wait costs little latency and a long one no busy processor. For
// waits that nobody signals (a lock word, a count of calls in flight).
template <typename Done>
void BackOffUntil(Done done)
{
    for (int round = 0; !done(); ++round) {
        if (round < 64) {
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        } else if (round < 256) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    }
}

class ShortLock {
public:
    void lock() noexcept
    {
        while (locked_.exchange(true, std::memory_order_acquire)) {
            WaitWhileLocked();
        }
    }
    bool try_lock() noexcept
    {
        return !locked_.load(std::memory_order_relaxed) &&
               !locked_.exchange(true, std::memory_order_acquire);
    }
    void unlock() noexcept
    {
        locked_.store(false, std::memory_order_release);
    }

private:
    // A holder that formats the whole debug log for a reader may keep the
    // lock for milliseconds; waiters back off instead of taking its processor.
    void WaitWhileLocked() noexcept
    {
        BackOffUntil([this] { return !locked_.load(std::memory_order_relaxed); });
    }

    std::atomic<bool> locked_{false};
};

}  // namespace vtsim::internal
