// Waiting on kernel objects. All wait state (signalled flags and waiter
// lists) is guarded by one lock; every waiting thread sleeps on its own
// condition variable, registered with each object it waits on, and is woken
// only when one of those objects is signalled.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/host/kernel/objects.h"
#include "platform/host/kernel/signal_reports.h"
#include "platform/kernel.h"

namespace vtsim::internal {

struct WaitBlock {
    std::condition_variable wake;
};

namespace {

std::mutex& WaitLock()
{
    static std::mutex* lock = new std::mutex;  // lives until process exit
    return *lock;
}

// Time-outs from 0x7FFFFFFF up to (not including) INFINITE count as 0x7FFFFFFF.
constexpr DWORD kLongestTimeout = 0x7FFFFFFF;

}  // namespace

struct WaitAccess {
    // Returns the index of the object that satisfied the wait, or -1 on
    // time-out. The caller's shared_ptrs keep the objects alive meanwhile.
    static long Wait(const std::vector<Waitable*>& objects, DWORD milliseconds)
    {
        using Clock = std::chrono::steady_clock;
        const bool forever = milliseconds == INFINITE;
        const auto deadline =
            Clock::now() + std::chrono::milliseconds(std::min(milliseconds, kLongestTimeout));

        std::unique_lock lock(WaitLock());
        WaitBlock block;
        bool registered = false;
        auto unregister = [&] {
            if (!registered) {
                return;
            }
            for (Waitable* object : objects) {
                std::erase(object->waiters_, &block);
            }
        };
        for (;;) {
            for (std::size_t i = 0; i < objects.size(); ++i) {
                Waitable* object = objects[i];
                if (object->signalled_) {
                    if (!object->manualReset_) {
                        object->signalled_ = false;
                        if (SignalsObserved()) {
                            object->OnSignalChanged(false);
                        }
                    }
                    unregister();
                    return static_cast<long>(i);
                }
            }
            if (!forever && Clock::now() >= deadline) {
                unregister();
                return -1;
            }
            if (!registered) {
                for (Waitable* object : objects) {
                    object->waiters_.push_back(&block);
                }
                registered = true;
            }
            if (forever) {
                block.wake.wait(lock);
            } else {
                block.wake.wait_until(lock, deadline);
            }
        }
    }

    static void Signal(Waitable& object)
    {
        std::lock_guard lock(WaitLock());
        if (!object.signalled_ && SignalsObserved()) {
            object.OnSignalChanged(true);
        }
        object.signalled_ = true;
        // Every waiter of this object rechecks; the first to run takes an
        // auto-reset object, the rest go back to sleep. No wake is lost.
        for (WaitBlock* waiter : object.waiters_) {
            waiter->wake.notify_one();
        }
    }

    static void Reset(Waitable& object)
    {
        std::lock_guard lock(WaitLock());
        if (object.signalled_ && SignalsObserved()) {
            object.OnSignalChanged(false);
        }
        object.signalled_ = false;
    }

    static bool IsSignalled(const Waitable& object)
    {
        std::lock_guard lock(WaitLock());
        return object.signalled_;
    }
};

void Waitable::Signal()
{
    WaitAccess::Signal(*this);
}
void Waitable::Reset()
{
    WaitAccess::Reset(*this);
}
bool Waitable::IsSignalled() const
{
    return WaitAccess::IsSignalled(*this);
}

}  // namespace vtsim::internal

using vtsim::internal::KernelObject;
using vtsim::internal::Waitable;

extern "C" DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds)
{
    return WaitForMultipleObjects(1, &object, FALSE, milliseconds);
}

extern "C" DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                        DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr || waitAll) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<KernelObject>> keepAlive;
    std::vector<Waitable*> objects;
    keepAlive.reserve(count);
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        std::shared_ptr<KernelObject> object = vtsim::internal::LookupHandle(handles[i]);
        Waitable* waitable = object ? object->AsWaitable() : nullptr;
        if (waitable == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(waitable);
        keepAlive.push_back(std::move(object));
    }
    long index = vtsim::internal::WaitAccess::Wait(objects, milliseconds);
    return index < 0 ? WAIT_TIMEOUT : WAIT_OBJECT_0 + static_cast<DWORD>(index);
}
