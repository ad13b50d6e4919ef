// A driver module whose entry point refuses the process attach: the device
// manager must report it and never use the module.
#include "platform/kernel.h"

BOOL DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    NKDbgPrintfW(u"REFUSING DllMain %u\n", reason);
    return FALSE;
}
