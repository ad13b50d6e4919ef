// Threads (handles, priorities, last error), critical sections and the
// target's own short lock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/host/kernel/short_lock.h"
#include "platform/kernel.h"

namespace {

struct ThreadProbe {
    HANDLE go = nullptr;
    DWORD lastErrorAtStart = 0xFFFF;
    DWORD id = 0;
};

DWORD ProbeThread(LPVOID parameter)
{
    auto* probe = static_cast<ThreadProbe*>(parameter);
    probe->lastErrorAtStart = GetLastError();
    probe->id = GetCurrentThreadId();
    SetLastError(77);
    WaitForSingleObject(probe->go, INFINITE);
    return 0;
}

TEST(Threads, HandleIsSignalledAtEndAndCarriesThePriority)
{
    auto before = vtsim::GetLiveCounts();
    ThreadProbe probe;
    probe.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, ProbeThread, &probe, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(CeGetThreadPriority(thread), 251);
    EXPECT_TRUE(CeSetThreadPriority(thread, 100));
    EXPECT_EQ(CeGetThreadPriority(thread), 100);
    EXPECT_FALSE(CeSetThreadPriority(thread, 256));
    EXPECT_FALSE(CeSetThreadPriority(thread, -1));
    EXPECT_EQ(vtsim::GetLiveCounts().threads, before.threads + 1);

    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    SetLastError(5);
    SetEvent(probe.go);
    ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
    EXPECT_EQ(probe.lastErrorAtStart, 0u);                     // a new thread starts with 0
    EXPECT_EQ(GetLastError(), 5u);                             // and its errors are its own
    EXPECT_EQ(probe.id, id);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(vtsim::GetLiveCounts().threads, before.threads);

    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_EQ(CeGetThreadPriority(thread), THREAD_PRIORITY_ERROR_RETURN);
    EXPECT_FALSE(CeSetThreadPriority(thread, 10));
    CloseHandle(probe.go);
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}

TEST(Threads, CurrentThreadPseudoHandle)
{
    int saved = CeGetThreadPriority(GetCurrentThread());
    EXPECT_TRUE(CeSetThreadPriority(GetCurrentThread(), 3));
    EXPECT_EQ(CeGetThreadPriority(GetCurrentThread()), 3);
    EXPECT_TRUE(CeSetThreadPriority(GetCurrentThread(), saved));
}

struct Counter {
    CRITICAL_SECTION lock;
    long value = 0;
};

DWORD AddMany(LPVOID parameter)
{
    auto* counter = static_cast<Counter*>(parameter);
    for (int i = 0; i < 20000; ++i) {
        EnterCriticalSection(&counter->lock);
        EnterCriticalSection(&counter->lock);  // recursive
        long v = counter->value;
        counter->value = v + 1;
        LeaveCriticalSection(&counter->lock);
        LeaveCriticalSection(&counter->lock);
    }
    return 0;
}

TEST(CriticalSections, RecursiveExclusiveAndCounted)
{
    auto before = vtsim::GetLiveCounts();
    Counter counter;
    InitializeCriticalSection(&counter.lock);
    EXPECT_EQ(vtsim::GetLiveCounts().criticalSections, before.criticalSections + 1);
    HANDLE threads[3];
    for (HANDLE& t : threads) {
        t = CreateThread(nullptr, 0, AddMany, &counter, 0, nullptr);
    }
    for (HANDLE t : threads) {
        EXPECT_EQ(WaitForSingleObject(t, 10000), WAIT_OBJECT_0);
        CloseHandle(t);
    }
    EXPECT_EQ(counter.value, 60000);
    DeleteCriticalSection(&counter.lock);
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}

// Exclusive under contention, including while a holder sleeps (waiters
// past their spins and yields nap until it lets go); try_lock fails only
// while the lock is held.
TEST(ShortLock, ExclusiveUnderContentionAndAcrossALongHold)
{
    vtsim::internal::ShortLock lock;
    long value = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20000; ++i) {
                std::lock_guard guard(lock);
                ++value;
                if (t == 0 && i % 5000 == 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(value, 80000);
    ASSERT_TRUE(lock.try_lock());
    std::thread other([&] { EXPECT_FALSE(lock.try_lock()); });
    other.join();
    lock.unlock();
    EXPECT_TRUE(lock.try_lock());
    lock.unlock();
}

}  // namespace
