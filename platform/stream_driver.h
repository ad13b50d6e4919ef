// The stream-interface driver model: the entry points that a driver module
// exports with its three-letter prefix (XXX_Init, ...), as the device manager
// calls them. Context values are pointer-sized on a 64-bit host.
#pragma once

#include "platform/types.h"

using PFN_DllMain = BOOL (*)(HINSTANCE module, DWORD reason, LPVOID reserved);
using PFN_Init = DWORD_PTR (*)(LPCWSTR activeKey, DWORD_PTR busContext);
using PFN_Deinit = BOOL (*)(DWORD_PTR deviceContext);
using PFN_Open = DWORD_PTR (*)(DWORD_PTR deviceContext, DWORD access, DWORD shareMode);
using PFN_Close = BOOL (*)(DWORD_PTR openContext);
using PFN_IOControl = BOOL (*)(DWORD_PTR openContext, DWORD code, PBYTE in, DWORD inSize, PBYTE out,
                               DWORD outSize, PDWORD returned);
using PFN_Read = DWORD (*)(DWORD_PTR openContext, LPVOID buffer, DWORD count);
using PFN_Write = DWORD (*)(DWORD_PTR openContext, LPCVOID buffer, DWORD count);
using PFN_Seek = DWORD (*)(DWORD_PTR openContext, LONG amount, DWORD type);
using PFN_PowerUpDown = void (*)(DWORD_PTR deviceContext);
