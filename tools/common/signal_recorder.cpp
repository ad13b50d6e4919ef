#include "tools/common/signal_recorder.h"

#include <algorithm>
#include <cstdio>

#include "platform/host/control/text.h"

namespace vttools {

namespace {

// The bits of a board's registers in the order of its traced signals.
std::vector<bool> Bits(const vtsim::BoardIdentity& board, const vtsim::BoardSignals& s)
{
    std::vector<bool> bits;
    for (unsigned port = 0; port < board.ports; ++port) {
        for (unsigned bit = 0; bit < 8; ++bit) {
            bits.push_back((s.inputs[port] >> bit & 1) != 0);
        }
    }
    for (unsigned port = 0; port < board.ports; ++port) {
        for (unsigned bit = 0; bit < 8; ++bit) {
            bits.push_back((s.outputs[port] >> bit & 1) != 0);
        }
    }
    for (std::uint8_t reg : {s.interruptEnable, s.triggerMode, s.interruptStatus}) {
        for (unsigned input = 0; input < board.interruptInputs; ++input) {
            bits.push_back((reg >> input & 1) != 0);
        }
    }
    bits.push_back(s.interruptLine);
    return bits;
}

}  // namespace

SignalRecorder::SignalRecorder() : start_(Clock::now()) {}

std::uint64_t SignalRecorder::Now()
{
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start_).count();
    // Two changes never share a time, so that a pulse made of two edges in
    // one go still shows as a pulse.
    const std::uint64_t now = elapsed > 0 ? static_cast<std::uint64_t>(elapsed) : 0;
    lastTime_ = std::max(now, changes_.empty() ? now : lastTime_ + 1);
    return lastTime_;
}

std::size_t SignalRecorder::AddBoard(const vtsim::BoardIdentity& identity)
{
    const std::string group = "board" + std::to_string(identity.place);
    const std::string at = "@" + std::to_string(identity.place) + " ";
    const std::size_t first = signals_.size();
    for (const char* kind : {"DI", "DO"}) {
        for (unsigned port = 0; port < identity.ports; ++port) {
            for (unsigned bit = 0; bit < 8; ++bit) {
                const std::string p = std::to_string(port), b = std::to_string(bit);
                signals_.push_back({group, kind + p + "_" + b, at + kind + p + "." + b, false});
            }
        }
    }
    for (const char* reg : {"enable", "trigger", "status"}) {
        for (unsigned input = 0; input < identity.interruptInputs; ++input) {
            const std::string i = std::to_string(input);
            signals_.push_back({group, reg + i, at + reg + i, false});
        }
    }
    signals_.push_back({group, "irq", at + "irq", false});
    return first;
}

void SignalRecorder::Record(std::uint64_t time, std::size_t signal, bool value)
{
    if (changes_.size() >= kMaxChanges) {
        truncated_ = true;
        return;
    }
    changes_.push_back({time, signal, value});
}

void SignalRecorder::BoardChanged(const vtsim::BoardIdentity& board,
                                  const vtsim::BoardSignals& signals)
{
    std::lock_guard lock(mutex_);
    auto found = boards_.find(board.place);
    if (found == boards_.end()) {
        BoardRecord record{board, vtsim::BoardSignals{}, AddBoard(board)};
        found = boards_.emplace(board.place, record).first;
    }
    BoardRecord& record = found->second;
    const std::vector<bool> before = Bits(board, record.last);
    const std::vector<bool> after = Bits(board, signals);
    std::uint64_t time = 0;
    bool timed = false;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (before[i] != after[i]) {
            if (!timed) {
                time = Now();
                timed = true;
            }
            Record(time, record.firstSignal + i, after[i]);
        }
    }
    record.last = signals;
}

void SignalRecorder::EventChanged(const std::u16string& name, bool signalled)
{
    std::lock_guard lock(mutex_);
    auto found = events_.find(name);
    if (found == events_.end()) {
        const std::string text = vtsim::Utf8FromUtf16(name);
        found = events_.emplace(name, signals_.size()).first;
        signals_.push_back({"events", text, text, true});
    }
    Record(Now(), found->second, signalled);
}

Trace SignalRecorder::Finish() const
{
    std::lock_guard lock(mutex_);
    Trace trace;
    std::vector<std::size_t> newIndex(signals_.size());
    for (const auto& [place, record] : boards_) {
        const std::size_t count = Bits(record.identity, record.last).size();
        for (std::size_t i = 0; i < count; ++i) {
            newIndex[record.firstSignal + i] = trace.signals.size();
            trace.signals.push_back(signals_[record.firstSignal + i]);
        }
        char io[16];
        std::snprintf(io, sizeof io, "0x%04x", record.identity.config.ioBase);
        std::string title = "@";
        title += std::to_string(place);
        title += ' ';
        title += vtsim::ModelName(record.identity.config.model);
        title += " at ";
        title += io;
        trace.groupTitles["board" + std::to_string(place)] = title;
    }
    if (!events_.empty()) {
        trace.groupTitles["events"] = "named events (1 while set)";
    }
    for (const auto& [name, index] : events_) {
        newIndex[index] = trace.signals.size();
        trace.signals.push_back(signals_[index]);
    }
    trace.changes = changes_;
    for (SignalChange& change : trace.changes) {
        change.signal = newIndex[change.signal];
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start_).count();
    trace.endNs = std::max<std::uint64_t>(static_cast<std::uint64_t>(elapsed > 0 ? elapsed : 0),
                                          changes_.empty() ? 0 : lastTime_ + 1);
    trace.truncated = truncated_;
    return trace;
}

}  // namespace vttools
