// The kernel debug output: one log entry per NKDbgPrintfW call, kept as
// UTF-8 for tests and tools, optionally echoed to stderr.
//
// Drivers print on their request paths, so a call costs what kernel tracing
// costs: the format and the arguments its directives take are copied into
// one buffer of records, as the call left them, and formatted only when the
// log is read (or at once when it is echoed). The text read is exactly what
// formatting at the time of the call gives. When an entry takes the records
// past kMaxUnits 16-bit units, the oldest half of the entries is dropped (the
// newest always stays), so that a long run (a benchmark, a demo left
// running) does not grow without bound.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/host/kernel/short_lock.h"
#include "platform/host/kernel/utf.h"
#include "platform/host/kernel/wide_format.h"
#include "platform/kernel.h"

namespace {

constexpr std::size_t kMaxUnits = 4u << 20;

struct DebugLog {
    vtsim::internal::ShortLock mutex;
    std::u16string records;         // all entries' records, back to back
    std::vector<std::size_t> ends;  // end offset of each entry's record

    // Drops the older half of the entries (at least one; the newest stays
    // while there are two or more).
    void DropOldestHalf()
    {
        const std::size_t dropped = std::max<std::size_t>(ends.size() / 2, 1);
        const std::size_t keepFrom = ends[dropped - 1];
        records.erase(0, keepFrom);
        ends.erase(ends.begin(), ends.begin() + static_cast<std::ptrdiff_t>(dropped));
        for (std::size_t& end : ends) {
            end -= keepFrom;
        }
    }

    // The text of every entry, each given to `take` as UTF-16.
    template <typename Take>
    void Format(Take take) const
    {
        std::u16string text;
        std::size_t begin = 0;
        for (std::size_t end : ends) {
            text.clear();
            vtsim::internal::AppendRecorded(text, records, begin);
            take(text);
            begin = end;
        }
    }
};

DebugLog& Log()
{
    static DebugLog* log = new DebugLog;  // lives until process exit
    return *log;
}

std::atomic<bool> g_echo{false};
std::atomic<vtsim::DebugEchoStyle> g_echoStyle{vtsim::DebugEchoStyle::Lines};

// Writes an entry (UTF-8) to stderr as the echo style says.
void Echo(const std::string& bytes)
{
    if (g_echoStyle.load(std::memory_order_relaxed) == vtsim::DebugEchoStyle::Raw) {
        std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    } else {
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string::npos) {
                end = bytes.size();
            }
            std::size_t last = end;
            while (last > start && (bytes[last - 1] == '\r' || bytes[last - 1] == ' ')) {
                --last;
            }
            if (last > start) {
                std::fputs("driver: ", stderr);
                std::fwrite(bytes.data() + start, 1, last - start, stderr);
                std::fputc('\n', stderr);
            }
            start = end + 1;
        }
    }
    std::fflush(stderr);
}

}  // namespace

extern "C" void NKDbgPrintfW(LPCWSTR format, ...)
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    // The record goes straight into the log: one copy of the arguments and
    // the format, no buffer in between.
    const std::size_t begin = log.records.size();
    va_list args;
    va_start(args, format);
    vtsim::internal::RecordFormatted(log.records, format, args);
    va_end(args);
    log.ends.push_back(log.records.size());
    if (g_echo.load(std::memory_order_relaxed)) {
        thread_local std::u16string text;
        thread_local std::string bytes;
        text.clear();
        bytes.clear();
        vtsim::internal::AppendRecorded(text, log.records, begin);
        vtsim::internal::AppendUtf8(bytes, text);
        Echo(bytes);
    }
    if (log.records.size() > kMaxUnits && log.ends.size() > 1) {
        log.DropOldestHalf();
    }
}

namespace vtsim {

std::vector<std::string> DebugEntries()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    std::vector<std::string> entries;
    entries.reserve(log.ends.size());
    log.Format([&](const std::u16string& text) { entries.push_back(internal::ToUtf8(text)); });
    return entries;
}

std::string DebugText()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    std::string all;
    log.Format([&](const std::u16string& text) { internal::AppendUtf8(all, text); });
    return all;
}

void ClearDebugLog()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    log.records.clear();
    log.ends.clear();
}

void SetDebugEcho(bool echo, DebugEchoStyle style)
{
    g_echoStyle.store(style);
    g_echo.store(echo);
}

}  // namespace vtsim
