// Threads: started on host threads, waitable through their handle (signalled
// when the start routine returns), each with a recorded priority and its own
// last error.
#include <atomic>
#include <cstdio>
#include <system_error>
#include <thread>

#include "platform/host/kernel/counters_and_faults.h"
#include "platform/host/kernel/objects.h"
#include "platform/host/kernel/threads.h"
#include "platform/kernel.h"

namespace vtsim::internal {
namespace {

constexpr int kNormalPriority = 251;
constexpr int kLowestPriority = 255;

std::atomic<DWORD> g_nextThreadId{0x1000};

// A thread's record; for threads the target did not start (the process's
// main thread, test threads) one is made on first use and is not in the table.
class ThreadObject : public Waitable {
public:
    ThreadObject() : Waitable(true, false), id_(g_nextThreadId.fetch_add(1)) {}
    DWORD Id() const
    {
        return id_;
    }
    int Priority() const
    {
        return priority_.load();
    }
    void SetPriority(int priority)
    {
        priority_.store(priority);
    }

private:
    const DWORD id_;
    std::atomic<int> priority_{kNormalPriority};
};

thread_local DWORD t_lastError = 0;
thread_local std::shared_ptr<ThreadObject> t_self;

ThreadObject& Self()
{
    if (!t_self) {
        t_self = std::make_shared<ThreadObject>();
    }
    return *t_self;
}

std::shared_ptr<ThreadObject> LookupThread(HANDLE handle)
{
    if (handle == kCurrentThreadPseudoHandle) {
        Self();
        return t_self;
    }
    return LookupHandleAs<ThreadObject>(handle);
}

void RunThread(std::shared_ptr<ThreadObject> self, LPTHREAD_START_ROUTINE start, LPVOID parameter)
{
    t_self = self;
    start(parameter);
    t_self.reset();
    // Counted as ended before it is seen as ended, so that a waiter on the
    // handle reads a settled counter.
    Adjust(Counter::Threads, -1);
    self->Signal();
}

}  // namespace
}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" DWORD GetLastError()
{
    return t_lastError;
}
extern "C" void SetLastError(DWORD error)
{
    t_lastError = error;
}

extern "C" HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start,
                               LPVOID parameter, DWORD, LPDWORD threadId)
{
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (ShouldFail(vtsim::Fault::ThreadCreation)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto thread = std::make_shared<ThreadObject>();
    HANDLE handle = InsertHandle(thread);
    if (handle == nullptr) {
        return nullptr;
    }
    Adjust(Counter::Threads, +1);
    try {
        std::thread(RunThread, thread, start, parameter).detach();
    } catch (const std::system_error&) {
        Adjust(Counter::Threads, -1);
        CloseKernelHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId != nullptr) {
        *threadId = thread->Id();
    }
    return handle;
}

extern "C" HANDLE GetCurrentThread()
{
    return kCurrentThreadPseudoHandle;
}

extern "C" DWORD GetCurrentThreadId()
{
    return Self().Id();
}

extern "C" int CeGetThreadPriority(HANDLE handle)
{
    auto thread = LookupThread(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    return thread->Priority();
}

extern "C" BOOL CeSetThreadPriority(HANDLE handle, int priority)
{
    auto thread = LookupThread(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (priority < 0 || priority > kLowestPriority) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    thread->SetPriority(priority);
    return TRUE;
}
