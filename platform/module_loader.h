// Loading modules by name at run time: the Win32 LoadLibraryW,
// GetProcAddress and FreeLibrary, as a program that hosts plug-in modules
// (the configurator library) calls them. Safe to call from any thread.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else

#include "platform/types.h"

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_DLL_INIT_FAILED = 1114;

// A procedure address as GetProcAddress returns it; cast to the real type.
using FARPROC = INT_PTR (*)();

extern "C" {

// Loads the module file named fileName and returns its handle, the same one
// its DllMain was given. A name without a folder ("VTC4100Cfg.dll") is
// looked up in the platform's module folder; on the simulated target
// "X.dll" is the shared object X.so there. Loading a module that is already
// loaded returns the same handle and counts one more load. NULL with
// ERROR_MOD_NOT_FOUND when there is no such module (or it is no module of
// this platform), ERROR_DLL_INIT_FAILED when its DllMain refuses the attach,
// ERROR_INVALID_PARAMETER for a NULL or empty name.
HMODULE LoadLibraryW(LPCWSTR fileName);
// The address of the exported procedure procName in module; NULL with
// ERROR_PROC_NOT_FOUND when it exports no such name, ERROR_INVALID_HANDLE
// when module is not a handle that LoadLibraryW returned.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
// Counts one load of module off; the last one unloads it (its DllMain gets
// the process detach). FALSE with ERROR_INVALID_HANDLE for a handle that
// LoadLibraryW did not return (or whose loads are all counted off).
BOOL FreeLibrary(HMODULE module);

}  // extern "C"

#endif  // _WIN32
