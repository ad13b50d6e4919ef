// Control from outside the simulated target: what tests and tools read back
// (debug output, live-object counters, message boxes).
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
// Also write each entry to stderr as it arrives.
void SetDebugEcho(bool echo);

// ---- Live-object counters (for leak checks) -------------------------------------
struct LiveCounts {
    std::size_t handles = 0;           // open kernel-object handles (events, threads, files)
    std::size_t criticalSections = 0;  // initialized and not yet deleted
    std::size_t allocations = 0;       // LocalAlloc blocks not yet freed
    std::size_t registryKeys = 0;      // open registry key handles
    std::size_t chainHandlers = 0;     // installed interrupt chain handlers
    std::size_t threads = 0;           // threads created and not yet ended
    std::size_t mappings = 0;          // MmMapIoSpace mappings not yet released
    bool operator==(const LiveCounts&) const = default;
};
LiveCounts GetLiveCounts();
std::string Describe(const LiveCounts& counts);

// ---- Message boxes -----------------------------------------------------------------
struct MessageBoxRecord {
    std::u16string text;
    std::u16string caption;
    unsigned type = 0;
    int answer = 0;
};
// The message boxes shown, in the order they were dismissed: the most
// recent 1024 of them (older records are dropped).
std::vector<MessageBoxRecord> MessageBoxes();
// Forgets the boxes shown, the queued answers and the hook.
void ClearMessageBoxes();
// The next MessageBoxW returns this answer (queued, first in first out);
// with nothing queued it returns IDOK.
void QueueMessageBoxAnswer(int answer);
// Runs while a message box is up, in the thread that shows it, as a window
// procedure runs from the box's message loop on the target: it may call
// into the package, show further boxes and wait for other threads. Its
// result is the box's answer; the queued answers are left alone while a
// hook is set. An empty hook removes it.
using MessageBoxHook = std::function<int(const MessageBoxRecord& box)>;
void SetMessageBoxHook(MessageBoxHook hook);

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
