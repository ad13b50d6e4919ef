// Kernel services of the target platform: handles, events, waits, threads,
// critical sections, the per-thread last error, local memory, time, strings
// and the kernel debug output.
//
// Every function is safe to call from any thread unless its comment says
// otherwise. Handles are process-wide values; NULL is never a valid handle.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"

// The module entry point, called by the Windows loader with the module's
// handle (declared here so that its definition gets C linkage and the
// loader's calling convention).
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);
#else

#include <cstdarg>

#include "platform/types.h"

extern "C" {

// ---- Handles -------------------------------------------------------------

// Closes one handle to a kernel object (event, thread, device file).
// The object lives on while other handles refer to it or a thread still waits
// on it. Returns FALSE with ERROR_INVALID_HANDLE for NULL, a closed or never
// issued handle.
BOOL CloseHandle(HANDLE object);

// ---- Last error ------------------------------------------------------------

// The calling thread's last-error value. Each thread has its own; a new thread
// starts with 0. Services set it on failure; most leave it alone on success.
DWORD GetLastError();
void SetLastError(DWORD error);

// ---- Events ----------------------------------------------------------------

// Creates an event. manualReset: stays signalled until ResetEvent; otherwise
// a satisfied wait clears it. name NULL: unnamed. A name that already exists
// returns a new handle to the same event with last error ERROR_ALREADY_EXISTS
// (the two flags are ignored then); a new event sets last error 0. Names are
// case-sensitive. Returns NULL on failure (last error set).
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                    LPCWSTR name);
// Signals the event: wakes the waiters it can satisfy (one, for an auto-reset
// event). FALSE with ERROR_INVALID_HANDLE when the handle is not an event.
BOOL SetEvent(HANDLE event);
// Clears the event. FALSE with ERROR_INVALID_HANDLE when not an event.
BOOL ResetEvent(HANDLE event);

// ---- Waits -----------------------------------------------------------------

// Waits until the object is signalled or the time-out (ms) passes.
// Returns WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED with
// ERROR_INVALID_HANDLE for a NULL or invalid handle. Satisfying the wait
// clears an auto-reset event. A thread object is signalled once it has ended.
// Time-outs from 0x7FFFFFFF to 0xFFFFFFFE count as 0x7FFFFFFF.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);

// Waits for any of count objects (waitAll must be FALSE; count 1 to
// MAXIMUM_WAIT_OBJECTS). Returns WAIT_OBJECT_0 + i for the smallest signalled
// index i; only that object is changed (an auto-reset event is cleared, the
// others are untouched). WAIT_TIMEOUT on time-out; WAIT_FAILED with
// ERROR_INVALID_HANDLE when any entry is NULL or invalid, or
// ERROR_INVALID_PARAMETER for a bad count, a NULL array or waitAll TRUE.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

// ---- Threads ---------------------------------------------------------------

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

// Starts a thread running start(parameter). Returns its handle (waitable:
// signalled when the thread ends), or NULL on failure. threadId may be NULL.
// A new thread has priority 251 (the platform's normal priority).
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                    LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creationFlags,
                    LPDWORD threadId);
// A pseudo handle that stands for the calling thread in the priority calls;
// it need not be closed.
HANDLE GetCurrentThread();
DWORD GetCurrentThreadId();
// Priority 0 (highest) to 255 (lowest), recorded per thread. The host does
// not schedule by it; it is kept so that callers can be checked.
// CeGetThreadPriority returns THREAD_PRIORITY_ERROR_RETURN for an
// invalid handle; CeSetThreadPriority returns FALSE for an invalid handle or a
// priority above 255.
int CeGetThreadPriority(HANDLE thread);
BOOL CeSetThreadPriority(HANDLE thread, int priority);
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// ---- Critical sections -------------------------------------------------------

// A recursive lock owned by one thread at a time. Initialize before use and
// Delete after the last use; the host counts live critical sections.
struct CRITICAL_SECTION {
    void* impl;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;
void InitializeCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);

// ---- Memory ----------------------------------------------------------------

// Allocates bytes (zero-filled with LMEM_ZEROINIT / LPTR). NULL on failure
// with last error ERROR_NOT_ENOUGH_MEMORY. Freed with LocalFree, which
// returns NULL on success and accepts NULL.
HANDLE LocalAlloc(UINT flags, SIZE_T bytes);
HANDLE LocalFree(HANDLE memory);

// ---- Time and process --------------------------------------------------------

// Sleeps at least the given milliseconds; Sleep(0) yields the processor.
void Sleep(DWORD milliseconds);
// Milliseconds since the target booted (wraps at 2^32).
DWORD GetTickCount();
DWORD GetCurrentProcessId();

// ---- Wide strings --------------------------------------------------------------

// Formats into dst (capacity cch characters, always terminated when cch > 0).
// Supported: %d %i %u %x %X %s (a wide string) %c, with flags '0' and '-',
// a width and a precision for %s, the 'l' and 'h' size prefixes, and %%.
// Returns S_OK, or STRSAFE_E_INSUFFICIENT_BUFFER when the text was cut.
HRESULT StringCchPrintfW(LPWSTR dst, SIZE_T cch, LPCWSTR format, ...);
HRESULT StringCchVPrintfW(LPWSTR dst, SIZE_T cch, LPCWSTR format, va_list args);
// Copies src into dst (capacity cch, always terminated when cch > 0).
HRESULT StringCchCopyW(LPWSTR dst, SIZE_T cch, LPCWSTR src);
// Length in characters, without the terminator; NULL gives 0.
int lstrlenW(LPCWSTR text);
// Comparison without regard to the case of ASCII and Latin-1 letters (both
// compared in lower case): < 0, 0, > 0. NULL counts as "".
int lstrcmpiW(LPCWSTR a, LPCWSTR b);

// The system's text for a Win32 error code, as FormatMessageW with
// FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS gives it
// ("There is not enough space on the disk.\r\n" for ERROR_DISK_FULL): source,
// languageId and arguments are not used, other flags are refused
// (ERROR_INVALID_PARAMETER). Writes at most size characters with the
// terminator into buffer and returns the length without it; 0 with the last
// error set when the text does not fit (ERROR_INSUFFICIENT_BUFFER) or the
// code has no text on the simulated target (ERROR_MR_MID_NOT_FOUND).
DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPWSTR buffer,
                     DWORD size, va_list* arguments);

// ---- Debug output --------------------------------------------------------------

// The kernel debug output: formats like StringCchPrintfW and appends the text
// to the target's debug log (see platform/host/control/target.h to read it).
void NKDbgPrintfW(LPCWSTR format, ...);

// ---- Arithmetic ------------------------------------------------------------------

// value * numerator / denominator with a 64-bit intermediate, rounded half
// away from zero. -1 when denominator is 0 or the result does not fit in
// 32 bits.
int MulDiv(int value, int numerator, int denominator);

// ---- Modules -------------------------------------------------------------------

// The entry point that each module (a stream driver, the driver library)
// defines and the platform's loader calls: with DLL_PROCESS_ATTACH and the
// module's handle (its load address) once the module is loaded, where FALSE
// makes the load fail; with DLL_PROCESS_DETACH once before it is unloaded,
// unless the attach failed. Module code never calls it itself.
BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

// Asks the platform not to call the module's entry for thread attach and
// detach (the host never does). FALSE with ERROR_INVALID_HANDLE when module
// is not the handle of a loaded module.
BOOL DisableThreadLibraryCalls(HMODULE module);

}  // extern "C"

#endif  // _WIN32
