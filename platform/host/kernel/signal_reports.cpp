// The one signal observer and the delivery of reports to it, serialised by
// one lock so that the observer sees changes one at a time and in order.
#include "platform/host/kernel/signal_reports.h"

#include <mutex>

namespace vtsim::internal {

namespace {

struct ObserverSlot {
    std::mutex mutex;  // held while a report is delivered
    SignalObserver* observer = nullptr;
};

ObserverSlot& Slot()
{
    static ObserverSlot* slot = new ObserverSlot;  // lives until process exit
    return *slot;
}

}  // namespace

void ReportBoardChange(const BoardIdentity& board, const BoardSignals& signals)
{
    ObserverSlot& slot = Slot();
    std::lock_guard lock(slot.mutex);
    if (slot.observer != nullptr) {
        slot.observer->BoardChanged(board, signals);
    }
}

void ReportEventChange(const std::u16string& name, bool signalled)
{
    ObserverSlot& slot = Slot();
    std::lock_guard lock(slot.mutex);
    if (slot.observer != nullptr) {
        slot.observer->EventChanged(name, signalled);
    }
}

}  // namespace vtsim::internal

namespace vtsim {

SignalObserver* SetSignalObserver(SignalObserver* observer)
{
    internal::ObserverSlot& slot = internal::Slot();
    std::lock_guard lock(slot.mutex);
    SignalObserver* previous = slot.observer;
    slot.observer = observer;
    internal::g_signalsObserved.store(observer != nullptr);
    return previous;
}

}  // namespace vtsim
