// Interrupt service: the installed handler's settings, the interrupt service
// thread that acknowledges, latches, counts and signals, and the named
// events with the enable register steps behind the event requests.
//
// Locking: threadLock covers one interrupt pass and every change of the
// named-event handles, thresholds, counters and windows, so the thread never
// signals a closed handle or counts against a half-changed threshold. The
// port requests use portLock alone; the two locks are never held together.
#include "common/board_types.h"
#include "common/registry_layout.h"
#include "driver/board_registers.h"
#include "driver/device_context.h"
#include "driver/driver_steps.h"
#include "platform/ddk.h"
#include "platform/kernel.h"

namespace {

constexpr DWORD INTERRUPT_EVENT_NAME_CHARS = 64;

// The bits of the status register that the handler tests: every served
// input, so that on a board the driver did not identify a pending status is
// still claimed and then acknowledged by the thread instead of holding the
// line asserted.
DWORD HandlerMaskOf(DWORD boardType)
{
    return (1u << ServedEventCountOf(boardType)) - 1u;
}

void EndThread(DeviceContext* context)
{
    SetEvent(context->threadExitEvent);
}

// One pass for one reported interrupt, under threadLock.
void ServiceInterrupt(DeviceContext* context)
{
    EnterCriticalSection(&context->threadLock);
    const BYTE status = ReadBoardRegister(context, REG_INT_STATUS);
    WriteBoardRegister(context, REG_INT_STATUS, status);

    const DWORD events = EventCountOf(context->boardType);
    if (events != 0) {
        BYTE snapshot[MAX_PORTS] = {};
        for (DWORD port = 0; port < events; ++port) {
            snapshot[port] = ReadBoardRegister(context, REG_DIO_PORT + port);
        }
        for (DWORD event = 0; event < events; ++event) {
            if ((status & (1u << event)) == 0) {
                continue;
            }
            context->eventCounter[event] += 1;
            for (DWORD port = 0; port < events; ++port) {
                context->eventWindows[event].snapshot[port] = snapshot[port];
            }
            if (context->eventCounter[event] >= context->eventThreshold[event] &&
                context->diEvents[event] != nullptr) {
                context->eventCounter[event] = 0;
                SetEvent(context->diEvents[event]);
            }
        }
    }
    InterruptDone(context->sysIntr);
    LeaveCriticalSection(&context->threadLock);
}

}  // namespace

bool InterruptInfoComplete(const DeviceContext* context)
{
    // A logical interrupt of 0 (none) makes the information incomplete just
    // as missing handler names do.
    return context->irq != IRQ_UNSPECIFIED && context->sysIntr != SYSINTR_NOP &&
           context->isrDll[0] != 0 && context->isrHandler[0] != 0;
}

BOOL InstallISR(DeviceContext* context)
{
    if (!InterruptInfoComplete(context)) {
        return FALSE;
    }
    context->isrHandle =
        LoadIntChainHandler(context->isrDll, context->isrHandler, static_cast<BYTE>(context->irq));
    NKDbgPrintfW(u"\n===VTN InstallISR RegIsrDll: %s\n", context->isrDll);
    NKDbgPrintfW(u"\n===VTN InstallISR IsaHandler: %s\n", context->isrHandler);
    if (context->isrHandle == nullptr) {
        return FALSE;
    }

    context->isrStatusOffset = ISR_STATUS_OFFSET;
    context->isrMask = HandlerMaskOf(context->boardType);

    GIISR_INFO settings{};
    settings.SysIntr = context->sysIntr;
    settings.CheckPort = TRUE;
    settings.PortIsIO = TRUE;
    settings.UseMaskReg = FALSE;
    // The handler runs on the 32-bit target: the translated port address of
    // an I/O window always fits in 32 bits.
    settings.PortAddr = static_cast<DWORD>(context->translatedBase + context->isrStatusOffset);
    settings.PortSize = 1;
    settings.Mask = context->isrMask;
    settings.MaskAddr = 0;
    if (!KernelLibIoControl(context->isrHandle, IOCTL_GIISR_INFO, &settings, sizeof(settings),
                            nullptr, 0, nullptr)) {
        NKDbgPrintfW(u"\n===VTN InstallISR False\n");
        return FALSE;
    }
    return TRUE;
}

BOOL StartInterruptThread(DeviceContext* context)
{
    // Without the registration the platform would never signal the thread:
    // a start that cannot receive interrupts fails.
    context->interruptRegistered =
        InterruptInitialize(context->sysIntr, context->interruptEvent, nullptr, 0);
    if (!context->interruptRegistered) {
        NKDbgPrintfW(u"\n===VTN InterruptInitialize False, System Interrupt: %x\n",
                     context->sysIntr);
        return FALSE;
    }
    InterruptDone(context->sysIntr);

    context->istThread = nullptr;
    context->istThread = CreateThread(nullptr, 0, InterruptServiceThread, context, 0, nullptr);
    if (context->istThread == nullptr) {
        return FALSE;
    }
    CeSetThreadPriority(context->istThread, static_cast<int>(context->istPriority));
    return TRUE;
}

DWORD InterruptServiceThread(LPVOID parameter)
{
    DeviceContext* context = static_cast<DeviceContext*>(parameter);
    // Every way out sets threadExitEvent, so a stop never waits out its
    // time-out.
    if (context->stopThread) {
        EndThread(context);
        return 0;
    }
    for (;;) {
        if (WaitForSingleObject(context->interruptEvent, INFINITE) != WAIT_OBJECT_0) {
            // The event is gone: nothing can wake this thread any more.
            EndThread(context);
            return 0;
        }
        if (context->stopThread) {
            EndThread(context);
            return 0;
        }
        ServiceInterrupt(context);
        if (context->stopThread) {
            EndThread(context);
            return 0;
        }
    }
}

BOOL StopInterruptThread(DeviceContext* context)
{
    if (context->istThread != nullptr) {
        CeSetThreadPriority(context->istThread, CeGetThreadPriority(GetCurrentThread()));
        context->stopThread = 1;
        SetEvent(context->interruptEvent);
        WaitForSingleObject(context->threadExitEvent, STOP_THREAD_TIMEOUT_MS);
        // The exit event is set just before the thread returns: give it the
        // few instructions it has left, which a busy machine may delay, up to
        // a second. A thread that has not ended by then keeps its handle, and
        // the caller keeps what it uses.
        if (WaitForSingleObject(context->istThread, 1000) != WAIT_OBJECT_0) {
            return FALSE;
        }
        CloseHandle(context->istThread);
        context->istThread = nullptr;
    }
    InterruptDone(context->sysIntr);
    // Take the registration back, so that the logical interrupt no longer
    // signals an event about to be closed and a new start can register again.
    if (context->interruptRegistered) {
        InterruptDisable(context->sysIntr);
        context->interruptRegistered = FALSE;
    }
    return TRUE;
}

BOOL CreateInterruptEvents(DeviceContext* context)
{
    // A board without a device number has no event names.
    if (context->deviceIndex < 0) {
        return FALSE;
    }
    bool allPresent = true;
    EnterCriticalSection(&context->threadLock);
    for (DWORD event = 0; event < MAX_EVENTS; ++event) {
        if (context->diEvents[event] == nullptr) {
            WCHAR name[INTERRUPT_EVENT_NAME_CHARS];
            StringCchPrintfW(name, INTERRUPT_EVENT_NAME_CHARS, INTERRUPT_EVENT_NAME_FORMATS[event],
                             context->deviceIndex);
            context->diEvents[event] = CreateEventW(nullptr, FALSE, FALSE, name);
        }
        allPresent = allPresent && context->diEvents[event] != nullptr;
    }
    LeaveCriticalSection(&context->threadLock);
    if (!allPresent) {
        CloseEvent(context);
        return FALSE;
    }
    return TRUE;
}

BOOL CloseEvent(DeviceContext* context)
{
    EnterCriticalSection(&context->threadLock);
    for (HANDLE& event : context->diEvents) {
        if (event != nullptr) {
            CloseHandle(event);
            event = nullptr;
        }
    }
    context->interruptConnected = 0;
    WriteBoardRegister(context, REG_INT_ENABLE, 0);
    NKDbgPrintfW(u"\n===CloseEvent, write reg value 0\n");
    LeaveCriticalSection(&context->threadLock);
    return TRUE;
}

void EnableEvent(DeviceContext* context, DWORD eventIndex, DWORD interruptCount)
{
    EnterCriticalSection(&context->threadLock);
    NKDbgPrintfW(u"\n===VTN EnableEvent event type: %d\n", eventIndex);
    BYTE enable = ReadBoardRegister(context, REG_INT_ENABLE);
    NKDbgPrintfW(u"\n===VTN EnableEvent get reg: %x\n", enable);
    enable = static_cast<BYTE>(enable | (1u << eventIndex));
    NKDbgPrintfW(u"\n===VTN EnableEvent write reg: %x\n", enable);
    WriteBoardRegister(context, REG_INT_ENABLE, enable);
    NKDbgPrintfW(u"\n===VTN EnableEvent read back reg value: %x\n",
                 ReadBoardRegister(context, REG_INT_ENABLE));
    context->eventCounter[eventIndex] = 0;
    context->eventThreshold[eventIndex] = interruptCount;
    NKDbgPrintfW(u"\n===VTN EnableEvent event count: %d\n", context->eventThreshold[eventIndex]);
    LeaveCriticalSection(&context->threadLock);
}

void DisableEvent(DeviceContext* context, DWORD eventIndex)
{
    EnterCriticalSection(&context->threadLock);
    NKDbgPrintfW(u"\n===VTN Disable Event type: %d\n", eventIndex);
    const BYTE enable =
        static_cast<BYTE>(ReadBoardRegister(context, REG_INT_ENABLE) & ~(1u << eventIndex));
    NKDbgPrintfW(u"\n===VTR Disable Event, write reg value: %d\n", enable);
    WriteBoardRegister(context, REG_INT_ENABLE, enable);
    context->eventCounter[eventIndex] = 0;
    context->eventThreshold[eventIndex] = DISABLED_EVENT_THRESHOLD;
    LeaveCriticalSection(&context->threadLock);
}

void ResetEventCounting(DeviceContext* context)
{
    EnterCriticalSection(&context->threadLock);
    for (DWORD event = 0; event < MAX_EVENTS; ++event) {
        context->eventThreshold[event] = DISABLED_EVENT_THRESHOLD;
        context->eventCounter[event] = 0;
    }
    LeaveCriticalSection(&context->threadLock);
}
