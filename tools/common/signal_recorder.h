// A recording of the simulated target's signals for a trace file or a
// timing diagram: every input line, output line, interrupt enable, trigger
// and status bit and the interrupt line of each board, and every named
// event, with the time of each change.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host/control/signal_observer.h"

namespace vttools {

// One traced one-bit signal.
struct TracedSignal {
    std::string group;  // "board0" or "events": a scope of the trace file
    std::string name;  // "DI0_3", "DO1_0", "enable2", "trigger0", "status1", "irq", an event's name
    std::string label;   // for people: "@0 DI0.3", "@1 irq", "RLX_EVT_DI_INTERRUPT0_000"
    bool event = false;  // a named event (1 while it is set) rather than a board line
};

struct SignalChange {
    std::uint64_t timeNs;  // since the recording started; strictly increasing
    std::size_t signal;    // index into Trace::signals
    bool value;
};

// A finished recording. Every signal is 0 at time 0 (boards start with
// every line and register at zero, events unset).
struct Trace {
    std::vector<TracedSignal> signals;  // board by board in machine order, then the events
    std::vector<SignalChange> changes;  // in time order
    std::uint64_t endNs = 0;            // when the recording ended
    std::map<std::string, std::string> groupTitles;  // "board0" -> "@0 VTC-4100 (0xe800)"
    bool truncated = false;                          // changes after kMaxChanges were dropped
};

// Records the reports of the signal observer. Install it with
// vtsim::SetSignalObserver before the target boots, take it off after the
// target shut down, then Finish.
class SignalRecorder : public vtsim::SignalObserver {
public:
    // The most changes kept; later ones are counted as dropped.
    static constexpr std::size_t kMaxChanges = std::size_t{1} << 22;

    SignalRecorder();

    void BoardChanged(const vtsim::BoardIdentity& board,
                      const vtsim::BoardSignals& signals) override;
    void EventChanged(const std::u16string& name, bool signalled) override;

    // The recording so far, its signals in a stable order (boards by their
    // place, each board's lines port by port, then the events by name).
    Trace Finish() const;

private:
    struct BoardRecord {
        vtsim::BoardIdentity identity;
        vtsim::BoardSignals last;
        std::size_t firstSignal = 0;  // index of its DI0_0 in signals_
    };

    std::uint64_t Now();
    std::size_t AddBoard(const vtsim::BoardIdentity& identity);
    void Record(std::uint64_t time, std::size_t signal, bool value);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start_;
    mutable std::mutex mutex_;
    std::uint64_t lastTime_ = 0;
    std::map<std::size_t, BoardRecord> boards_;  // by place
    std::map<std::u16string, std::size_t> events_;
    std::vector<TracedSignal> signals_;  // in order of first report
    std::vector<SignalChange> changes_;
    bool truncated_ = false;
};

}  // namespace vttools
