// Internal: how boards and kernel events hand their changes to the signal
// observer (platform/host/control/signal_observer.h).
#pragma once

#include "platform/host/internal_header.h"

#include <atomic>
#include <string>

#include "platform/host/control/signal_observer.h"

namespace vtsim::internal {

// True while an observer is installed; what a reporter checks before it
// builds a report.
inline std::atomic<bool> g_signalsObserved{false};

inline bool SignalsObserved()
{
    return g_signalsObserved.load(std::memory_order_relaxed);
}

// Hand a change to the observer, if one is still installed.
void ReportBoardChange(const BoardIdentity& board, const BoardSignals& signals);
void ReportEventChange(const std::u16string& name, bool signalled);

}  // namespace vtsim::internal
