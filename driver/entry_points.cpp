// The stream-interface entry points of Rlx4100S: start and stop of one board
// instance, opens and closes, and the file entry points that do nothing.
#include <new>
#include <type_traits>

#include "common/board_types.h"
#include "driver/board_registers.h"
#include "driver/device_context.h"
#include "driver/driver_steps.h"
#include "driver/entry_points.h"
#include "platform/ddk.h"
#include "platform/kernel.h"
#include "platform/registry.h"
#include "platform/stream_driver.h"

namespace {

void FreeContext(DeviceContext* context)
{
    context->~DeviceContext();
    LocalFree(context);
}

DWORD NoData()
{
    return 0;
}

void NoPowerAction() {}

}  // namespace

BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

DLL_EXPORT DWORD_PTR VTD_Init(LPCWSTR activeKey, DWORD_PTR /*busContext*/)
{
    void* memory = LocalAlloc(LPTR, sizeof(DeviceContext));
    if (memory == nullptr) {
        return 0;
    }
    DeviceContext* context = new (memory) DeviceContext{};

    HKEY deviceKey = OpenDeviceKey(activeKey);
    if (deviceKey == nullptr || reinterpret_cast<HANDLE>(deviceKey) == INVALID_HANDLE_VALUE) {
        FreeContext(context);
        return 0;
    }
    RegCloseKey(deviceKey);

    InitializeCriticalSection(&context->portLock);
    InitializeCriticalSection(&context->threadLock);

    const DWORD_PTR handle = reinterpret_cast<DWORD_PTR>(context);
    if (!GetRegistryData(context, activeKey)) {
        VTD_Deinit(handle);
        return 0;
    }
    // A board that could serve interrupts but has no I/O window would have
    // every register access land on ports from 0: refuse it.
    if (InterruptInfoComplete(context) && context->ioLength == 0) {
        NKDbgPrintfW(u"\n===VTD INIT no I/O window, board id: %x\n", context->boardType);
        VTD_Deinit(handle);
        return 0;
    }

    context->istPriority = IST_PRIORITY;
    context->interruptEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    context->threadExitEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);

    context->mappedBase = MapIoWindow(context, context->ioBase, context->ioLength);

    if (context->interruptEvent == nullptr || context->threadExitEvent == nullptr ||
        !InstallISR(context) || !StartInterruptThread(context)) {
        VTD_Deinit(handle);
        return 0;
    }

    context->interruptConnected = 0;
    if (IsKnownBoardType(context->boardType)) {
        context->diPortCount = PortCountOf(context->boardType);
        context->doPortCount = PortCountOf(context->boardType);
    }
    EnterCriticalSection(&context->portLock);
    for (BYTE& value : context->doShadow) {
        value = 0;
    }
    LeaveCriticalSection(&context->portLock);
    ResetEventCounting(context);

    NKDbgPrintfW(u"\n===VTD INIT Device  board id: %x\n", context->boardType);

    // An unpublished board still starts and serves its requests; without a
    // device number it has no named events and applications cannot find it.
    if (!PublishDevice(context)) {
        NKDbgPrintfW(u"\n===VTD INIT board id: %x not published\n", context->boardType);
    }
    CreateInterruptEvents(context);

    context->openCount = 0;
    return handle;
}

DLL_EXPORT BOOL VTD_Deinit(DWORD_PTR deviceContext)
{
    DeviceContext* context = ContextOf(deviceContext);
    if (context == nullptr) {
        return FALSE;
    }

    // The named events go first. The board then raises nothing more: its
    // interrupt enable register is cleared and what is pending acknowledged,
    // so that an edge after the stop cannot hold a shared line asserted with
    // nobody left to acknowledge it.
    EnterCriticalSection(&context->threadLock);
    for (HANDLE& event : context->diEvents) {
        if (event != nullptr) {
            CloseHandle(event);
            event = nullptr;
        }
    }
    if (context->ioLength > REG_INT_STATUS) {
        WriteBoardRegister(context, REG_INT_ENABLE, 0);
        WriteBoardRegister(context, REG_INT_STATUS, ReadBoardRegister(context, REG_INT_STATUS));
    }
    LeaveCriticalSection(&context->threadLock);

    if (!StopInterruptThread(context)) {
        // The thread may still run on the record and its events: they stay
        // as they are (a later Deinit, once the thread has ended, finishes
        // the stop).
        NKDbgPrintfW(u"\n===VTD DEINIT interrupt thread still running, board id: %x\n",
                     context->boardType);
        return FALSE;
    }

    if (context->interruptEvent != nullptr) {
        CloseHandle(context->interruptEvent);
        context->interruptEvent = nullptr;
    }
    if (context->threadExitEvent != nullptr) {
        CloseHandle(context->threadExitEvent);
        context->threadExitEvent = nullptr;
    }
    if (context->windowMappedAsMemory) {
        MmUnmapIoSpace(reinterpret_cast<PVOID>(context->mappedBase), context->ioLength);
        context->windowMappedAsMemory = FALSE;
    }
    if (context->isrHandle != nullptr) {
        FreeIntChainHandler(context->isrHandle);
        context->isrHandle = nullptr;
    }
    DeleteCriticalSection(&context->portLock);
    DeleteCriticalSection(&context->threadLock);
    FreeContext(context);
    return TRUE;
}

DLL_EXPORT DWORD_PTR VTD_Open(DWORD_PTR deviceContext, DWORD /*access*/, DWORD /*shareMode*/)
{
    DeviceContext* context = ContextOf(deviceContext);
    if (context == nullptr) {
        return 0;
    }
    // The first open takes up a trigger mode changed in the registry since.
    if (context->openCount.fetch_add(1) + 1 == 1) {
        ReloadTriggerMode(context);
    }
    return deviceContext;
}

DLL_EXPORT BOOL VTD_Close(DWORD_PTR openContext)
{
    DeviceContext* context = ContextOf(openContext);
    if (context != nullptr) {
        context->openCount.fetch_sub(1);
    }
    return TRUE;
}

DLL_EXPORT DWORD VTD_Read(DWORD_PTR /*openContext*/, LPVOID /*buffer*/, DWORD /*count*/)
{
    return NoData();
}

DLL_EXPORT DWORD VTD_Write(DWORD_PTR /*openContext*/, LPCVOID /*buffer*/, DWORD /*count*/)
{
    return NoData();
}

DLL_EXPORT DWORD VTD_Seek(DWORD_PTR /*openContext*/, LONG /*amount*/, DWORD /*type*/)
{
    return static_cast<DWORD>(-1);
}

DLL_EXPORT void VTD_PowerUp(DWORD_PTR /*deviceContext*/)
{
    NoPowerAction();
}

DLL_EXPORT void VTD_PowerDown(DWORD_PTR /*deviceContext*/)
{
    NoPowerAction();
}

// The loader and the device manager call the entry points through these
// types.
static_assert(std::is_same_v<decltype(&DllMain), PFN_DllMain>);
static_assert(std::is_same_v<decltype(&VTD_Init), PFN_Init>);
static_assert(std::is_same_v<decltype(&VTD_Deinit), PFN_Deinit>);
static_assert(std::is_same_v<decltype(&VTD_Open), PFN_Open>);
static_assert(std::is_same_v<decltype(&VTD_Close), PFN_Close>);
static_assert(std::is_same_v<decltype(&VTD_Read), PFN_Read>);
static_assert(std::is_same_v<decltype(&VTD_Write), PFN_Write>);
static_assert(std::is_same_v<decltype(&VTD_Seek), PFN_Seek>);
static_assert(std::is_same_v<decltype(&VTD_PowerUp), PFN_PowerUpDown>);
static_assert(std::is_same_v<decltype(&VTD_PowerDown), PFN_PowerUpDown>);
