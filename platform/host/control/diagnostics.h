// Control from outside the simulated target: what tests and tools read back
// (debug output, live-object counters, loaded modules). Message boxes and
// windows: ui_driver.h.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vtsim {

// ---- Debug output -------------------------------------------------------------
// Every NKDbgPrintfW call appends its formatted text to the log. Entries()
// gives one entry per call, exactly as formatted (UTF-8), e.g.
// "\n===VTD INIT Device  board id: 87\n". The log keeps the most recent
// entries (several MiB of text); older ones are dropped.
std::vector<std::string> DebugEntries();
// The whole log as one string (all entries concatenated).
std::string DebugText();
void ClearDebugLog();
// Also write each entry to stderr as it arrives: with Lines each line of
// text in the entry once, marked as the driver's ("driver: ===VTD INIT
// ..."; the blank lines that the driver's messages begin with are left
// out); with Raw each entry exactly as formatted.
enum class DebugEchoStyle { Lines, Raw };
void SetDebugEcho(bool echo, DebugEchoStyle style = DebugEchoStyle::Lines);

// ---- Live-object counters (for leak checks) -------------------------------------
struct LiveCounts {
    std::size_t handles = 0;           // open kernel-object handles (events, threads, files)
    std::size_t criticalSections = 0;  // initialized and not yet deleted
    std::size_t allocations = 0;       // LocalAlloc blocks not yet freed
    std::size_t registryKeys = 0;      // open registry key handles
    std::size_t chainHandlers = 0;     // installed interrupt chain handlers
    std::size_t threads = 0;           // threads created and not yet ended
    std::size_t mappings = 0;          // MmMapIoSpace mappings not yet released
    std::size_t windows = 0;           // windows created and not yet destroyed
    std::size_t bitmaps = 0;           // bitmap objects not yet deleted
    bool operator==(const LiveCounts&) const = default;
};
LiveCounts GetLiveCounts();
std::string Describe(const LiveCounts& counts);

// ---- Modules ----------------------------------------------------------------------
// A module (the driver library, a stream driver) as the simulated loader
// knows it from its load until its unload.
struct ModuleRecord {
    const void* handle = nullptr;      // its HINSTANCE: the address it was loaded at
    std::string path;                  // its file
    bool attached = false;             // its entry point accepted DLL_PROCESS_ATTACH
    unsigned threadCallsDisabled = 0;  // DisableThreadLibraryCalls calls for it
};
// The modules loaded now, in load order.
std::vector<ModuleRecord> LoadedModules();

}  // namespace vtsim
