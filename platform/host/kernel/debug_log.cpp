// The kernel debug output: one log entry per NKDbgPrintfW call, kept as
// UTF-8 for tests and tools, optionally echoed to stderr.
//
// Drivers print on their request paths, so an entry costs no allocation in
// the steady state: the text is formatted into a per-thread buffer and
// appended, as formatted (UTF-16), to one text buffer with an index of entry
// ends; it is turned into UTF-8 only when it is read or echoed. The log keeps at
// most kMaxChars characters of text; beyond that the oldest half is dropped, so a long
// run (a benchmark, a demo left running) does not grow without bound.
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/host/kernel/strings.h"
#include "platform/host/kernel/utf.h"
#include "platform/kernel.h"

namespace {

constexpr std::size_t kMaxChars = 4u << 20;

struct DebugLog {
    std::mutex mutex;
    std::u16string text;            // all entries, back to back
    std::vector<std::size_t> ends;  // end offset of each entry in text

    void DropOldestHalf()
    {
        std::size_t keepFrom = ends[ends.size() / 2];
        std::size_t dropped = ends.size() / 2 + 1;
        text.erase(0, keepFrom);
        ends.erase(ends.begin(), ends.begin() + static_cast<std::ptrdiff_t>(dropped));
        for (std::size_t& end : ends) {
            end -= keepFrom;
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
    thread_local std::u16string entry;
    entry.clear();
    va_list args;
    va_start(args, format);
    vtsim::internal::AppendFormatted(entry, format, args);
    va_end(args);

    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    if (g_echo.load(std::memory_order_relaxed)) {
        thread_local std::string bytes;  // capacity reused: no allocation per entry
        bytes.clear();
        vtsim::internal::AppendUtf8(bytes, entry);
        Echo(bytes);
    }
    if (log.text.size() + entry.size() > kMaxChars && !log.ends.empty()) {
        log.DropOldestHalf();
    }
    log.text += entry;
    log.ends.push_back(log.text.size());
}

namespace vtsim {

std::vector<std::string> DebugEntries()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    std::vector<std::string> entries;
    entries.reserve(log.ends.size());
    std::size_t begin = 0;
    for (std::size_t end : log.ends) {
        entries.push_back(
            internal::ToUtf8(std::u16string_view(log.text).substr(begin, end - begin)));
        begin = end;
    }
    return entries;
}

std::string DebugText()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    return internal::ToUtf8(log.text);
}

void ClearDebugLog()
{
    DebugLog& log = Log();
    std::lock_guard lock(log.mutex);
    log.text.clear();
    log.ends.clear();
}

void SetDebugEcho(bool echo, DebugEchoStyle style)
{
    g_echoStyle.store(style);
    g_echo.store(echo);
}

}  // namespace vtsim
