// The process-wide handle table: small, non-null handle values that map to
// reference-counted kernel objects.
#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "platform/host/kernel/counters_and_faults.h"
#include "platform/host/kernel/objects.h"
#include "platform/host/kernel/short_lock.h"
#include "platform/host/kernel/threads.h"
#include "platform/kernel.h"

namespace vtsim::internal {
namespace {

// Values advance by 4 from kFirstValue and wrap only after about a billion
// handles, so a closed handle does not come back as a newer object soon.
constexpr std::uint32_t kFirstValue = 0x104;
constexpr std::uint32_t kStep = 4;
constexpr std::uint32_t kLastValue = 0x3FFFFFFC;

struct HandleTable {
    ShortLock mutex;
    std::unordered_map<std::uint32_t, std::shared_ptr<KernelObject>> objects;
    std::uint32_t next = kFirstValue;
};

HandleTable& Table()
{
    static HandleTable* table = new HandleTable;  // lives until process exit
    return *table;
}

bool ToValue(HANDLE handle, std::uint32_t* value)
{
    auto raw = reinterpret_cast<std::uintptr_t>(handle);
    if (raw < kFirstValue || raw > kLastValue || raw % kStep != 0) {
        return false;
    }
    *value = static_cast<std::uint32_t>(raw);
    return true;
}

}  // namespace

HANDLE InsertHandle(std::shared_ptr<KernelObject> object)
{
    if (!object) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    constexpr std::size_t kCapacity = (kLastValue - kFirstValue) / kStep + 1;
    if (table.objects.size() >= kCapacity) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::uint32_t value = table.next;
    while (table.objects.count(value) != 0) {
        value = value >= kLastValue ? kFirstValue : value + kStep;
    }
    table.next = value >= kLastValue ? kFirstValue : value + kStep;
    object->handles_.fetch_add(1);
    table.objects.emplace(value, std::move(object));
    Adjust(Counter::Handles, +1);
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle)
{
    std::uint32_t value = 0;
    if (!ToValue(handle, &value)) {
        return nullptr;
    }
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto found = table.objects.find(value);
    return found == table.objects.end() ? nullptr : found->second;
}

KernelObject* LookupHandleAdmitted(HANDLE handle, bool (*admit)(KernelObject&))
{
    std::uint32_t value = 0;
    if (!ToValue(handle, &value)) {
        return nullptr;
    }
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto found = table.objects.find(value);
    if (found == table.objects.end() || !admit(*found->second)) {
        return nullptr;
    }
    return found->second.get();
}

BOOL CloseKernelHandle(HANDLE handle)
{
    std::uint32_t value = 0;
    std::shared_ptr<KernelObject> object;
    if (ToValue(handle, &value)) {
        HandleTable& table = Table();
        std::lock_guard lock(table.mutex);
        auto found = table.objects.find(value);
        if (found != table.objects.end()) {
            object = std::move(found->second);
            table.objects.erase(found);
            object->handles_.fetch_sub(1);
            Adjust(Counter::Handles, -1);
        }
    }
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The hook runs without the table lock: a driver's Close may call back
    // into the kernel. The object is released here unless others hold it.
    return object->OnHandleClosed();
}

}  // namespace vtsim::internal

extern "C" BOOL CloseHandle(HANDLE object)
{
    if (object == vtsim::internal::kCurrentThreadPseudoHandle) {
        return TRUE;
    }
    return vtsim::internal::CloseKernelHandle(object);
}
