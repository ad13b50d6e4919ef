// Failure sweeps: each path of the package that acquires resources (the
// target's boot with its drivers' starts, DeviceOpen, EnableEvent) runs
// once per n with the n-th call of one platform service failing (an
// allocation, an event creation, a thread creation, a registry write),
// for every n until the path completes without reaching the n-th call.
// Every run must end without a crash and, once the path is undone, with the
// platform's live counts (handles, critical sections, allocations, registry
// keys, threads, mappings, installed handlers) back where they started.
//
// A path is one entry of Paths(): a new acquiring path is swept by adding
// its entry there.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "library/include/rlx4100.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/target.h"
#include "platform/host/control/ui_driver.h"

namespace {

// Device 0 of the default machine: its VTC-4100.
constexpr DWORD DEVICE = 0;

struct SweptPath {
    const char* name;
    // Brings the target to where the path starts (not swept).
    std::function<void()> before;
    // The path itself, with the fault armed.
    std::function<void()> run;
    // Undoes the path and `before` (not swept): afterwards the live counts
    // must be as they were before `before`.
    std::function<void()> after;
};

bool BootDefault()
{
    std::string error;
    return vtsim::Boot(vtsim::BootOptions{}, &error);
}

// The handle the path under way works on.
LONG g_handle = 0;

std::vector<SweptPath> Paths()
{
    return {
        {"Boot", [] {}, [] { BootDefault(); },
         [] {
             vtsim::Shutdown();
         }},
        {"DeviceOpen", [] { ASSERT_TRUE(BootDefault()); },
         [] {
             g_handle = 0;
             DeviceOpen(DEVICE, &g_handle);
         },
         [] {
             if (g_handle != 0) {
                 EXPECT_EQ(DeviceClose(&g_handle), API_SUCCESS);
             }
             vtsim::Shutdown();
         }},
        {"EnableEvent",
         [] {
             ASSERT_TRUE(BootDefault());
             g_handle = 0;
             ASSERT_EQ(DeviceOpen(DEVICE, &g_handle), API_SUCCESS);
         },
         [] { EnableEvent(g_handle, EVT_DI_INTERRUPT0, 1, 1); },
         [] {
             DioDisableEvent(g_handle, EVT_DI_INTERRUPT0);
             EXPECT_EQ(DeviceClose(&g_handle), API_SUCCESS);
             vtsim::Shutdown();
         }},
    };
}

struct FaultKind {
    vtsim::Fault fault;
    const char* name;
};

constexpr FaultKind FAULTS[] = {
    {vtsim::Fault::Allocation, "allocation"},
    {vtsim::Fault::EventCreation, "event creation"},
    {vtsim::Fault::ThreadCreation, "thread creation"},
    {vtsim::Fault::RegistryWrite, "registry write"},
};

// No path here makes more calls of one kind than this; a sweep that gets
// there has found a path that does not complete.
constexpr unsigned MAX_CALLS = 2000;

TEST(FailureSweep, EveryPathReleasesWhatItAcquiredWhicheverCallFails)
{
    vtsim::SetDebugEcho(false);
    for (const SweptPath& path : Paths()) {
        for (const FaultKind& kind : FAULTS) {
            unsigned n = 1;
            for (; n <= MAX_CALLS; ++n) {
                SCOPED_TRACE(std::string(path.name) + ", " + kind.name + " " + std::to_string(n));
                const vtsim::LiveCounts start = vtsim::GetLiveCounts();
                path.before();
                vtsim::ArmFault(kind.fault, n);
                path.run();
                const bool fired = vtsim::FaultFired(kind.fault);
                vtsim::DisarmAllFaults();
                path.after();
                vtsim::ClearDebugLog();
                vtsim::ClearMessageBoxes();
                ASSERT_EQ(vtsim::GetLiveCounts(), start)
                    << "before: " << vtsim::Describe(start)
                    << "\nafter:  " << vtsim::Describe(vtsim::GetLiveCounts());
                if (!fired) {
                    break;  // the path completed before its n-th call
                }
            }
            EXPECT_LE(n, MAX_CALLS) << path.name << " did not complete under " << kind.name;
            std::printf("%s %s: %u\n", path.name, kind.name, n);
        }
    }
}

// A run that fails a call early leaves a target that works: the sweep's
// undo is complete, not just balanced.
TEST(FailureSweep, TheTargetWorksAfterAFailedStart)
{
    vtsim::ArmFault(vtsim::Fault::ThreadCreation, 1);
    ASSERT_TRUE(BootDefault());
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::ThreadCreation));
    EXPECT_EQ(vtsim::DriverLoadFailures().size(), 1u) << "one driver did not start";
    vtsim::DisarmAllFaults();
    vtsim::Shutdown();

    ASSERT_TRUE(BootDefault());
    EXPECT_TRUE(vtsim::DriverLoadFailures().empty());
    LONG handle = 0;
    ASSERT_EQ(DeviceOpen(DEVICE, &handle), API_SUCCESS);
    EXPECT_EQ(EnableEvent(handle, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
    EXPECT_EQ(DeviceClose(&handle), API_SUCCESS);
    vtsim::Shutdown();
}

}  // namespace
