// The kernel debug output: one log entry per NKDbgPrintfW call, kept as
// UTF-8 for tests and tools, optionally echoed to stderr.
#include <atomic>
#include <cstdio>
#include <mutex>

#include "platform/host/diagnostics.h"
#include "platform/host/kernel_strings.h"
#include "platform/kernel.h"

namespace {

struct DebugLog {
    std::mutex mutex;
    std::vector<std::string> entries;
};

DebugLog& Log()
{
    static DebugLog* log = new DebugLog;  // lives until process exit
    return *log;
}

std::atomic<bool> g_echo{false};

}  // namespace

extern "C" void NKDbgPrintfW(LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    std::string entry = vtsim::internal::ToUtf8(vtsim::internal::FormatWide(format, args));
    va_end(args);
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    if (g_echo.load()) {
        std::fwrite(entry.data(), 1, entry.size(), stderr);
        std::fflush(stderr);
    }
    log.entries.push_back(std::move(entry));
}

namespace vtsim {

std::vector<std::string> DebugEntries()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    return log.entries;
}

std::string DebugText()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    std::string text;
    for (const std::string& entry : log.entries) text += entry;
    return text;
}

void ClearDebugLog()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    log.entries.clear();
}

void SetDebugEcho(bool echo) { g_echo.store(echo); }

}  // namespace vtsim
