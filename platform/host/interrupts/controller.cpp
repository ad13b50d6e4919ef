// The interrupt controller and the logical-interrupt services
// (InterruptInitialize, InterruptDone, InterruptDisable). The delivery rule
// and the locking design are described in interrupt_controller.h.
#include "platform/host/interrupts/controller.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/host/kernel/counters_and_faults.h"
#include "platform/host/kernel/objects.h"
#include "platform/kernel.h"

namespace vtsim::internal {

namespace {

struct ChainEntry {
    std::unique_ptr<ChainHandler> handler;
    std::uint32_t irq;
};

struct Line {
    std::vector<const Board*> sources;
    std::vector<ChainEntry*> chain;  // load order
    DWORD heldBy = SYSINTR_NOP;      // the logical interrupt masking the line
};

struct SysIntr {
    std::uint32_t irq = 0;
    std::shared_ptr<Waitable> event;
    bool masked = true;
    bool holdsLine = false;
    std::uint32_t heldLine = 0;
    std::uint64_t delivered = 0;
};

class Controller {
public:
    std::mutex mutex;
    std::map<std::uint32_t, Line> lines;
    std::map<DWORD, SysIntr> sysIntrs;
    std::map<ChainEntry*, std::unique_ptr<ChainEntry>> handlers;
    DWORD nextSysIntr = SYSINTR_DEVICES;
    std::uint64_t unclaimed = 0;
    bool rescan = false;  // a line changed during an evaluation

    void Evaluate(std::uint32_t irq)
    {
        auto it = lines.find(irq);
        if (it == lines.end()) {
            return;
        }
        Line& line = it->second;
        if (line.heldBy != SYSINTR_NOP) {
            return;
        }
        const bool asserted = std::any_of(line.sources.begin(), line.sources.end(),
                                          [](const Board* b) { return b->interruptAsserted(); });
        if (!asserted) {
            return;
        }
        DWORD result = SYSINTR_CHAIN;
        for (ChainEntry* entry : line.chain) {
            result = entry->handler->Service();
            if (result != SYSINTR_CHAIN) {
                break;
            }
        }
        if (result == SYSINTR_CHAIN) {
            result = SYSINTR_NOP;
        }
        if (result == SYSINTR_NOP) {
            ++unclaimed;
            return;
        }
        auto s = sysIntrs.find(result);
        if (s == sysIntrs.end() || !Live(s->second) || s->second.masked) {
            return;  // stays pending at the source; found again when unmasked
        }
        SysIntr& target = s->second;
        target.masked = true;
        target.holdsLine = true;
        target.heldLine = irq;
        line.heldBy = result;
        ++target.delivered;
        target.event->Signal();
    }

    void EvaluateAll()
    {
        do {
            rescan = false;
            for (auto& [irq, line] : lines) {
                (void)line;
                Evaluate(irq);
            }
        } while (rescan);
    }

    // A registered event that still has a handle: somebody can wait on it.
    // A driver that closed its event without InterruptDisable left a dead
    // registration, which must neither hold a shared line nor block the
    // next InterruptInitialize.
    static bool Live(const SysIntr& s)
    {
        return s.event && s.event->HandleCount() > 0;
    }

    void ReleaseHold(SysIntr& s)
    {
        if (!s.holdsLine) {
            return;
        }
        auto it = lines.find(s.heldLine);
        if (it != lines.end()) {
            it->second.heldBy = SYSINTR_NOP;
        }
        s.holdsLine = false;
    }
};

Controller& TheController()
{
    static Controller* controller = new Controller;  // lives as long as the process
    return *controller;
}

thread_local bool tlInController = false;

// The controller mutex, marked on this thread so that a re-entrant line
// change is deferred instead of deadlocking.
class Locked {
public:
    Locked() : controller_(TheController()), lock_(controller_.mutex)
    {
        tlInController = true;
    }
    ~Locked()
    {
        tlInController = false;
    }
    Controller* operator->()
    {
        return &controller_;
    }

private:
    Controller& controller_;
    std::unique_lock<std::mutex> lock_;
};

}  // namespace

void AttachInterruptSource(std::uint32_t irq, const Board* source)
{
    Locked c;
    c->lines[irq].sources.push_back(source);
    c->Evaluate(irq);
}

void DetachInterruptSource(const Board* source)
{
    Locked c;
    for (auto& [irq, line] : c->lines) {
        (void)irq;
        auto& v = line.sources;
        v.erase(std::remove(v.begin(), v.end(), source), v.end());
    }
}

void InterruptLineChanged(std::uint32_t irq)
{
    if (tlInController) {
        TheController().rescan = true;
        return;
    }
    Locked c;
    c->Evaluate(irq);
    if (c->rescan) {
        c->EvaluateAll();
    }
}

DWORD AllocateSysIntr(std::uint32_t irq)
{
    Locked c;
    const DWORD id = c->nextSysIntr++;
    c->sysIntrs[id].irq = irq;
    c->lines[irq];
    return id;
}

HANDLE InstallChainHandler(std::unique_ptr<ChainHandler> handler, std::uint32_t irq)
{
    Locked c;
    auto entry = std::make_unique<ChainEntry>();
    entry->handler = std::move(handler);
    entry->irq = irq;
    ChainEntry* raw = entry.get();
    c->handlers.emplace(raw, std::move(entry));
    c->lines[irq].chain.push_back(raw);
    Adjust(Counter::ChainHandlers, +1);
    c->Evaluate(irq);
    if (c->rescan) {
        c->EvaluateAll();
    }
    return raw;
}

BOOL RemoveChainHandler(HANDLE handle)
{
    std::unique_ptr<ChainEntry> doomed;  // destroyed after the lock is left
    {
        Locked c;
        auto it = c->handlers.find(static_cast<ChainEntry*>(handle));
        if (it == c->handlers.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        doomed = std::move(it->second);
        c->handlers.erase(it);
        auto& chain = c->lines[doomed->irq].chain;
        chain.erase(std::remove(chain.begin(), chain.end(), doomed.get()), chain.end());
        Adjust(Counter::ChainHandlers, -1);
        // A handler further down the chain may now claim the line.
        c->Evaluate(doomed->irq);
        if (c->rescan) {
            c->EvaluateAll();
        }
    }
    return TRUE;
}

BOOL ChainHandlerIoControl(HANDLE handle, DWORD code, const void* in, DWORD inSize, void* out,
                           DWORD outSize, DWORD* returned)
{
    Locked c;
    auto it = c->handlers.find(static_cast<ChainEntry*>(handle));
    if (it == c->handlers.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const BOOL ok = it->second->handler->IoControl(code, in, inSize, out, outSize, returned);
    if (ok) {
        // The new settings may make the handler claim a pending interrupt.
        c->Evaluate(it->second->irq);
        if (c->rescan) {
            c->EvaluateAll();
        }
    }
    return ok;
}

void ResetInterrupts()
{
    std::map<ChainEntry*, std::unique_ptr<ChainEntry>> handlers;
    std::map<DWORD, SysIntr> sysIntrs;
    {
        Locked c;
        handlers.swap(c->handlers);
        sysIntrs.swap(c->sysIntrs);
        c->lines.clear();
        c->nextSysIntr = SYSINTR_DEVICES;
        c->unclaimed = 0;
        if (!handlers.empty()) {
            Adjust(Counter::ChainHandlers, -static_cast<long>(handlers.size()));
        }
    }
    // Handlers and event references are released outside the lock.
}

SysIntrInfo QuerySysIntr(DWORD sysIntr)
{
    Locked c;
    SysIntrInfo info;
    auto it = c->sysIntrs.find(sysIntr);
    if (it == c->sysIntrs.end()) {
        return info;
    }
    info.exists = true;
    info.irq = it->second.irq;
    info.registered = it->second.event != nullptr;
    info.masked = it->second.masked;
    info.delivered = it->second.delivered;
    return info;
}

std::uint64_t UnclaimedInterrupts()
{
    Locked c;
    return c->unclaimed;
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" BOOL InterruptInitialize(DWORD sysIntr, HANDLE event, LPVOID data, DWORD size)
{
    (void)data;
    (void)size;
    if (ShouldFail(vtsim::Fault::InterruptInitialize)) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    std::shared_ptr<Waitable> previous;  // a dead registration, dropped after the lock
    std::shared_ptr<Waitable> waitable = LookupHandleAs<Waitable>(event);
    if (!waitable) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        Locked c;
        auto it = c->sysIntrs.find(sysIntr);
        if (it == c->sysIntrs.end() || Controller::Live(it->second)) {
            // Unknown, or registered by somebody who can still wait on it.
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        previous = std::move(it->second.event);
        c->ReleaseHold(it->second);
        it->second.event = std::move(waitable);
        it->second.masked = true;  // until the first InterruptDone
    }
    return TRUE;
}

extern "C" void InterruptDone(DWORD sysIntr)
{
    Locked c;
    auto it = c->sysIntrs.find(sysIntr);
    if (it == c->sysIntrs.end()) {
        return;
    }
    c->ReleaseHold(it->second);
    it->second.masked = false;
    c->EvaluateAll();
}

extern "C" void InterruptDisable(DWORD sysIntr)
{
    std::shared_ptr<Waitable> released;  // dropped after the lock is left
    Locked c;
    auto it = c->sysIntrs.find(sysIntr);
    if (it == c->sysIntrs.end()) {
        return;
    }
    released = std::move(it->second.event);
    it->second.masked = true;
    // Another source sharing the line must not wait for a logical interrupt
    // that nobody will finish any more.
    const bool held = it->second.holdsLine;
    c->ReleaseHold(it->second);
    if (held) {
        c->EvaluateAll();
    }
}
