// Live-object counters (for leak checks) and one-shot fault injection.
#include <array>
#include <atomic>
#include <mutex>
#include <sstream>

#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/kernel/counters_and_faults.h"

namespace vtsim {
namespace {

constexpr std::size_t kCounters = internal::kCounterCount;
std::array<std::atomic<long>, kCounters> g_counters{};

long Read(internal::Counter counter)
{
    return g_counters[static_cast<std::size_t>(counter)].load();
}

// A counter below zero means something was released twice; it shows as a
// huge value so that a leak check fails loudly.
std::size_t AsCount(long value)
{
    return static_cast<std::size_t>(value);
}

constexpr std::size_t kFaults = 10;  // the members of Fault

struct FaultState {
    std::mutex mutex;
    std::array<unsigned, kFaults> remaining{};  // 0: disarmed
    std::array<bool, kFaults> fired{};
};

FaultState& Faults()
{
    static FaultState* state = new FaultState;  // lives until process exit
    return *state;
}

}  // namespace

namespace internal {

void Adjust(Counter counter, long delta)
{
    g_counters[static_cast<std::size_t>(counter)].fetch_add(delta);
}

bool ShouldFail(Fault fault)
{
    auto index = static_cast<std::size_t>(fault);
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    if (state.remaining[index] == 0) {
        return false;
    }
    if (--state.remaining[index] != 0) {
        return false;
    }
    state.fired[index] = true;
    return true;
}

}  // namespace internal

LiveCounts GetLiveCounts()
{
    using internal::Counter;
    LiveCounts counts;
    counts.handles = AsCount(Read(Counter::Handles));
    counts.criticalSections = AsCount(Read(Counter::CriticalSections));
    counts.allocations = AsCount(Read(Counter::Allocations));
    counts.registryKeys = AsCount(Read(Counter::RegistryKeys));
    counts.chainHandlers = AsCount(Read(Counter::ChainHandlers));
    counts.threads = AsCount(Read(Counter::Threads));
    counts.mappings = AsCount(Read(Counter::Mappings));
    counts.windows = AsCount(Read(Counter::Windows));
    counts.bitmaps = AsCount(Read(Counter::Bitmaps));
    return counts;
}

std::string Describe(const LiveCounts& counts)
{
    std::ostringstream text;
    auto field = [&](const char* name, std::size_t value) {
        text << name << '=' << static_cast<long>(value) << ' ';
    };
    field("handles", counts.handles);
    field("criticalSections", counts.criticalSections);
    field("allocations", counts.allocations);
    field("registryKeys", counts.registryKeys);
    field("chainHandlers", counts.chainHandlers);
    field("threads", counts.threads);
    field("mappings", counts.mappings);
    field("windows", counts.windows);
    field("bitmaps", counts.bitmaps);
    std::string result = text.str();
    result.pop_back();
    return result;
}

void ArmFault(Fault fault, unsigned nthCallFromNow)
{
    auto index = static_cast<std::size_t>(fault);
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    state.remaining[index] = nthCallFromNow;
    state.fired[index] = false;
}

void DisarmAllFaults()
{
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    state.remaining.fill(0);
    state.fired.fill(false);
}

bool FaultFired(Fault fault)
{
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    return state.fired[static_cast<std::size_t>(fault)];
}

}  // namespace vtsim
