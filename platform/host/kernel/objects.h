// Kernel objects of the simulated target, for the host subsystems that put
// their own objects behind handles (events, threads, open device files).
//
// One process-wide handle table maps HANDLE values to shared_ptr<KernelObject>.
// Handle values are small non-null numbers (never pointers) and are not reused
// soon, so a stale handle fails instead of reaching a newer object. An object
// lives while a handle refers to it or somebody holds a shared_ptr to it (a
// waiting thread holds one for the length of its wait).
//
// Typical use (a host object behind a handle):
//     class DiskFile : public vtsim::internal::KernelObject {
//         BOOL OnHandleClosed() override { return Flush(); }
//     };
//     HANDLE h = InsertHandle(std::make_shared<DiskFile>(...));
//     if (auto file = LookupHandleAs<DiskFile>(h)) { ... }
// Open device files are reached through LookupHandleAdmitted instead, so
// that a control request takes no reference.
#pragma once

#include "platform/host/internal_header.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/types.h"

namespace vtsim::internal {

class Waitable;
struct WaitBlock;  // one waiting thread (kernel_waits.cpp)

// Base of every object behind a handle.
class KernelObject {
public:
    virtual ~KernelObject() = default;
    KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    // Called by CloseHandle once per handle closed, after the handle has left
    // the table and with no kernel lock held (it may block or call other
    // services). CloseHandle returns what it returns; the handle is gone
    // either way. HandleCount() already excludes the closed handle.
    virtual BOOL OnHandleClosed()
    {
        return TRUE;
    }

    // The object's wait state when threads can wait on it; nullptr otherwise
    // (WaitForSingleObject then fails with ERROR_INVALID_HANDLE).
    virtual Waitable* AsWaitable()
    {
        return nullptr;
    }

    // Number of open handles that refer to this object.
    std::size_t HandleCount() const
    {
        return handles_.load();
    }

private:
    friend HANDLE InsertHandle(std::shared_ptr<KernelObject>);
    friend BOOL CloseKernelHandle(HANDLE);
    std::atomic<std::size_t> handles_{0};
};

// An object threads can wait on: signalled or not, manual or auto reset.
// A satisfied wait clears an auto-reset object. All wait state is guarded by
// one kernel wait lock; each waiter sleeps on its own condition variable and
// is woken only by objects it waits on.
class Waitable : public KernelObject {
public:
    Waitable(bool manualReset, bool initiallySignalled)
        : manualReset_(manualReset), signalled_(initiallySignalled)
    {}
    Waitable* AsWaitable() override
    {
        return this;
    }

    // Sets the signalled state and wakes the threads waiting on the object.
    void Signal();
    // Clears the signalled state.
    void Reset();
    bool IsSignalled() const;
    bool IsManualReset() const
    {
        return manualReset_;
    }
    // Called with the wait lock held when the signalled state changes while
    // a signal observer listens; must not wait or take the wait lock.
    virtual void OnSignalChanged(bool /*signalled*/) const {}

private:
    friend struct WaitAccess;  // the wait implementation (kernel_waits.cpp)
    const bool manualReset_;
    bool signalled_;                   // guarded by the wait lock
    std::vector<WaitBlock*> waiters_;  // guarded by the wait lock
};

// Puts the object in the handle table and returns a new handle to it
// (counted in GetLiveCounts().handles). Returns NULL with last error
// ERROR_NOT_ENOUGH_MEMORY when no handle value is free (or
// ERROR_INVALID_PARAMETER for a null object). Several handles may refer to
// the same object.
HANDLE InsertHandle(std::shared_ptr<KernelObject> object);

// The object behind a handle, or nullptr for NULL, closed, never issued and
// pseudo handles. Does not change the last error.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

// The object behind a handle, admitted by `admit`, which runs under the
// handle table's lock (so it must be short and must not call into the
// kernel): nullptr when the handle is invalid or `admit` refuses. No
// reference is taken: the caller may use the object only while the
// admission lasts, and only for an object whose handle close (or other
// release) waits for admitted callers, as a CallGate's Shut() does. The
// close removes the handle under the table's lock first, so that no
// admission begins after its wait.
KernelObject* LookupHandleAdmitted(HANDLE handle, bool (*admit)(KernelObject&));

// What CloseHandle does: removes the handle, runs OnHandleClosed, and returns
// its result; FALSE with ERROR_INVALID_HANDLE for an invalid handle.
BOOL CloseKernelHandle(HANDLE handle);

}  // namespace vtsim::internal
