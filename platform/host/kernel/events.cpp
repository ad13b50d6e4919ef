// Events: named and unnamed, manual and auto reset. Named events are found
// through a name table (case-sensitive) for as long as a handle to them is
// open.
#include <map>
#include <mutex>
#include <string>

#include "platform/host/kernel/counters_and_faults.h"
#include "platform/host/kernel/objects.h"
#include "platform/host/kernel/signal_reports.h"
#include "platform/kernel.h"

namespace vtsim::internal {
namespace {

class EventObject;

struct NameTable {
    std::mutex mutex;
    std::map<std::u16string, std::weak_ptr<EventObject>> events;
};

NameTable& Names()
{
    static NameTable* names = new NameTable;  // lives until process exit
    return *names;
}

class EventObject : public Waitable {
public:
    EventObject(bool manualReset, bool initialState, std::u16string name)
        : Waitable(manualReset, initialState), name_(std::move(name))
    {}

    BOOL OnHandleClosed() override
    {
        if (name_.empty()) {
            return TRUE;
        }
        NameTable& names = Names();
        std::lock_guard lock(names.mutex);
        // A CreateEventW may have opened the name again meanwhile (it holds
        // the name lock while it adds its handle), so check under the lock.
        if (HandleCount() != 0) {
            return TRUE;
        }
        auto found = names.events.find(name_);
        if (found != names.events.end()) {
            auto current = found->second.lock();
            if (!current || current.get() == this) {
                names.events.erase(found);
            }
        }
        return TRUE;
    }

    // Named events are what the signal observer hears about.
    void OnSignalChanged(bool signalled) const override
    {
        if (!name_.empty()) {
            ReportEventChange(name_, signalled);
        }
    }

private:
    const std::u16string name_;
};

}  // namespace
}  // namespace vtsim::internal

using vtsim::internal::EventObject;

extern "C" HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState,
                               LPCWSTR name)
{
    if (vtsim::internal::ShouldFail(vtsim::Fault::EventCreation)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (name == nullptr || name[0] == u'\0') {
        HANDLE handle = vtsim::internal::InsertHandle(
            std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE, u""));
        if (handle != nullptr) {
            SetLastError(ERROR_SUCCESS);
        }
        return handle;
    }
    auto& names = vtsim::internal::Names();
    std::lock_guard lock(names.mutex);
    std::u16string key(name);
    auto found = names.events.find(key);
    std::shared_ptr<EventObject> existing =
        found == names.events.end() ? nullptr : found->second.lock();
    if (existing && existing->HandleCount() != 0) {
        HANDLE handle = vtsim::internal::InsertHandle(existing);
        if (handle != nullptr) {
            SetLastError(ERROR_ALREADY_EXISTS);
        }
        return handle;
    }
    // A name whose last handle is closed is free again, even while a waiter
    // still holds the old event.
    auto event = std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE, key);
    HANDLE handle = vtsim::internal::InsertHandle(event);
    if (handle == nullptr) {
        return nullptr;
    }
    names.events[key] = event;
    SetLastError(ERROR_SUCCESS);
    return handle;
}

namespace {

std::shared_ptr<EventObject> LookupEvent(HANDLE handle)
{
    auto event = vtsim::internal::LookupHandleAs<EventObject>(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return event;
}

}  // namespace

extern "C" BOOL SetEvent(HANDLE handle)
{
    auto event = LookupEvent(handle);
    if (!event) {
        return FALSE;
    }
    event->Signal();
    return TRUE;
}

extern "C" BOOL ResetEvent(HANDLE handle)
{
    auto event = LookupEvent(handle);
    if (!event) {
        return FALSE;
    }
    event->Reset();
    return TRUE;
}
