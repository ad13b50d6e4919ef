// The configurator's one export, DriverConfig, and the script path rule it
// uses.
#pragma once

#include "platform/framework/application.h"
#include "platform/types.h"

#if defined(_WIN32)
#define VTCFG_EXPORT __declspec(dllexport)
#else
#define VTCFG_EXPORT __attribute__((visibility("default")))
#endif

// The registry script of the board package the library named libraryName
// edits, under the platform tree at root (which ends with a path
// separator): root + "Public\Korvel\Device_Drivers\" + folder + "\" +
// folder + ".reg", the folder being the first 8 characters of libraryName
// when it contains "KCfg.dll", else its first 7 (the whole name when it is
// shorter). 8-bit text is taken byte by byte.
vtfw::WString ScriptPathFor(const char* root, const char* libraryName);

extern "C" {

// Opens the template editor on the board package's registry script and
// returns at once; the modeless window then runs on the caller's message
// loop, on the calling thread. unused1 and unused4 are not looked at; root
// is the platform tree's folder ending in a path separator; libraryName is
// this library's file name as the host loaded it ("VTC4100Cfg.dll").
// Arguments are removed by the caller (the C calling convention).
// Returns 1 when the editor was made (also when its window then could not
// be made: nothing is shown then and the editor is released); 0, after the
// message " NEW Device Config Objeft failed!", when there is no memory for
// it, and 0 without a message when root or libraryName is NULL.
// Dialog templates and bitmaps come from this library: the framework's
// resource module is switched to it while DriverConfig runs and restored
// before it returns.
VTCFG_EXPORT int DriverConfig(DWORD unused1, const char* root, const char* libraryName,
                              DWORD unused4);

}  // extern "C"
