// The simulated target's interrupt controller (internal to platform/host/):
// IRQ lines with their sources (boards) and chains of installable handlers,
// and the logical interrupts (SysIntr) with their registered events.
//
// Delivery rule. A line is evaluated when something that can make it deliver
// changes: a source raised a status bit, a handler was added or configured,
// a logical interrupt was unmasked (InterruptDone). Evaluation of a line that
// is not held and whose sources assert it walks the chain in load order; the
// first handler that answers other than SYSINTR_CHAIN decides (none:
// SYSINTR_NOP). When the answer is a logical interrupt that has an event and
// is unmasked, the interrupt is masked, holds the line (masks it) and its
// event is signalled. Until InterruptDone of that logical interrupt the line
// is not evaluated again; InterruptDone unmasks and re-evaluates, so a line
// still asserted fires again. Any other answer delivers nothing and changes
// nothing: the pending state lives in the board's status register, so the
// next evaluation finds it again. Evaluation reads state, never counts
// edges, so it can neither lose an interrupt nor invent one. A registered
// event whose handles are all closed is a dead registration: it is never
// signalled (so it never holds a shared line) and the next
// InterruptInitialize of that logical interrupt replaces it.
//
// Locking. One controller mutex guards all state; handlers run under it and
// read board registers (controller -> bus lookup -> board mutex). Boards call
// InterruptLineChanged() only after releasing their own mutex, and nothing
// else is called while the bus lock is held, so the order never inverts. A
// call of InterruptLineChanged() from inside an evaluation on the same thread
// (a handler touching a register) is recorded and evaluated afterwards
// instead of re-entering the mutex. Events are signalled under the mutex
// (the kernel's wait lock is a leaf lock). The controller keeps a reference
// to each registered event, so a driver closing its handle early cannot make
// the controller signal a stale or reused handle.
#pragma once

#include "platform/host/internal_header.h"

#include <cstdint>
#include <memory>

#include "platform/ddk.h"
#include "platform/host/control/board.h"

namespace vtsim::internal {

// An installable chain handler instance. Both methods run with the
// controller mutex held.
class ChainHandler {
public:
    virtual ~ChainHandler() = default;
    // Decides whether the asserted line is this handler's device: a logical
    // interrupt, or SYSINTR_CHAIN to pass it on.
    virtual DWORD Service() = 0;
    // A KernelLibIoControl request (the last error is set on failure).
    virtual BOOL IoControl(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                           DWORD* returned) = 0;
};

// A source asserting line irq (a board). Detach before the source dies.
void AttachInterruptSource(std::uint32_t irq, const Board* source);
void DetachInterruptSource(const Board* source);
// Re-evaluates line irq (called by a source after its state changed).
void InterruptLineChanged(std::uint32_t irq);

// A new logical interrupt for line irq, counted upward from SYSINTR_DEVICES.
DWORD AllocateSysIntr(std::uint32_t irq);

// Appends a handler to line irq's chain; returns its handle (counted as a
// live chain handler).
HANDLE InstallChainHandler(std::unique_ptr<ChainHandler> handler, std::uint32_t irq);
// FALSE (ERROR_INVALID_HANDLE) for a handle that is not an installed handler.
BOOL RemoveChainHandler(HANDLE handle);
BOOL ChainHandlerIoControl(HANDLE handle, DWORD code, const void* in, DWORD inSize, void* out,
                           DWORD outSize, DWORD* returned);

// Removes every source, handler and logical interrupt and releases the
// registered events; logical interrupts are numbered from SYSINTR_DEVICES
// again.
void ResetInterrupts();

// Observations for tests and tools.
struct SysIntrInfo {
    bool exists = false;
    std::uint32_t irq = 0;
    bool registered = false;  // has an event
    bool masked = true;
    std::uint64_t delivered = 0;  // times its event was signalled
};
SysIntrInfo QuerySysIntr(DWORD sysIntr);
// Evaluations of asserted lines that no handler claimed.
std::uint64_t UnclaimedInterrupts();

}  // namespace vtsim::internal
