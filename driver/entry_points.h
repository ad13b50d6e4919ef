// The entry points that Rlx4100S exports to the device manager. Its module
// entry point, DllMain, is declared by platform/kernel.h and called by the
// platform's loader, not exported.
#pragma once

#include "platform/kernel.h"
#include "platform/types.h"

DLL_EXPORT DWORD_PTR VTD_Init(LPCWSTR activeKey, DWORD_PTR busContext);
DLL_EXPORT BOOL VTD_Deinit(DWORD_PTR deviceContext);
DLL_EXPORT DWORD_PTR VTD_Open(DWORD_PTR deviceContext, DWORD access, DWORD shareMode);
DLL_EXPORT BOOL VTD_Close(DWORD_PTR openContext);
DLL_EXPORT BOOL VTD_IOControl(DWORD_PTR openContext, DWORD code, PBYTE in, DWORD inSize, PBYTE out,
                              DWORD outSize, PDWORD returned);
DLL_EXPORT DWORD VTD_Read(DWORD_PTR openContext, LPVOID buffer, DWORD count);
DLL_EXPORT DWORD VTD_Write(DWORD_PTR openContext, LPCVOID buffer, DWORD count);
DLL_EXPORT DWORD VTD_Seek(DWORD_PTR openContext, LONG amount, DWORD type);
DLL_EXPORT void VTD_PowerUp(DWORD_PTR deviceContext);
DLL_EXPORT void VTD_PowerDown(DWORD_PTR deviceContext);
