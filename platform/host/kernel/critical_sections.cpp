// Critical sections: recursive locks, counted while initialized.
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/host/kernel/counters_and_faults.h"
#include "platform/kernel.h"

namespace {

std::recursive_mutex& LockOf(LPCRITICAL_SECTION section, const char* operation)
{
    if (section == nullptr || section->impl == nullptr) {
        std::fprintf(stderr, "vtsim: %s on an uninitialized critical section\n", operation);
        std::abort();
    }
    return *static_cast<std::recursive_mutex*>(section->impl);
}

}  // namespace

extern "C" void InitializeCriticalSection(LPCRITICAL_SECTION section)
{
    section->impl = new std::recursive_mutex;
    vtsim::internal::Adjust(vtsim::internal::Counter::CriticalSections, +1);
}

extern "C" void DeleteCriticalSection(LPCRITICAL_SECTION section)
{
    if (section == nullptr || section->impl == nullptr) {
        return;  // already deleted
    }
    delete static_cast<std::recursive_mutex*>(section->impl);
    section->impl = nullptr;
    vtsim::internal::Adjust(vtsim::internal::Counter::CriticalSections, -1);
}

extern "C" void EnterCriticalSection(LPCRITICAL_SECTION section)
{
    LockOf(section, "EnterCriticalSection").lock();
}

extern "C" void LeaveCriticalSection(LPCRITICAL_SECTION section)
{
    LockOf(section, "LeaveCriticalSection").unlock();
}
