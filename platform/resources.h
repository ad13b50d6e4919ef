// Module resources: the dialog templates and bitmaps that each module
// describes in its resource script, found by type and id through the
// module's handle, and the bitmap objects made from them.
//
// On the simulated target a module's resource table is registered with the
// platform when the module is loaded (before its DllMain runs) and dropped
// when it is unloaded; a NULL module means the program itself. Resource
// data lives as long as its module and is read-only; nothing needs to be
// freed. Bitmaps are objects: each LoadBitmapW must be matched by a
// DeleteObject. Threads: all calls may be made from any thread.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else

#include "platform/types.h"

// ---- Types -------------------------------------------------------------------------

struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = HANDLE;
using HGDIOBJ = HANDLE;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;

// A bitmap's description (GetObjectW).
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

// The header of a device-independent bitmap (a BITMAP resource's data
// starts with it).
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;

// ---- Resource names and types ---------------------------------------------------------------

// A resource named by a 16-bit id instead of a string.
inline LPWSTR MAKEINTRESOURCEW(ULONG_PTR id)
{
    return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id)));
}
// TRUE when name is an id made by MAKEINTRESOURCEW, not a string.
inline bool IS_INTRESOURCE(LPCWSTR name)
{
    return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0;
}

#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_RCDATA MAKEINTRESOURCEW(10)

// Image types (STM_SETIMAGE, BM_SETIMAGE).
constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT IMAGE_CURSOR = 2;

// Error codes of the resource services.
constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

extern "C" {

// Finds the resource of that type (RT_DIALOG, RT_BITMAP, ...) and name
// (MAKEINTRESOURCEW(id), or a string matched without regard to case) in the
// module (NULL: the program). NULL when there is none: the last error is
// ERROR_RESOURCE_DATA_NOT_FOUND for a module without resources,
// ERROR_RESOURCE_TYPE_NOT_FOUND when it has none of that type,
// ERROR_RESOURCE_NAME_NOT_FOUND otherwise.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
// The resource's data handle (NULL for a NULL resource). The data stays
// valid while the module is loaded.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// The address of the resource's bytes (NULL for a NULL handle).
LPVOID LockResource(HGLOBAL data);
// The resource's size in bytes (0 for a NULL resource).
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Accepted for compatibility; resources need no freeing. Returns FALSE.
BOOL FreeResource(HGLOBAL data);

// Makes a bitmap object from the module's BITMAP resource (uncompressed 1,
// 4, 8, 24 or 32 bits per pixel). NULL when there is no such resource
// (ERROR_RESOURCE_*) or its data is not such a bitmap
// (ERROR_INVALID_DATA). Free it with DeleteObject.
HBITMAP LoadBitmapW(HINSTANCE module, LPCWSTR name);
// Frees a bitmap object. FALSE for a handle of no live object.
BOOL DeleteObject(HGDIOBJ object);
// Fills a BITMAP (bmBits NULL) for a bitmap object and returns its size;
// with a NULL buffer returns the size needed. 0 for a handle of no bitmap
// or a buffer smaller than a BITMAP.
int GetObjectW(HGDIOBJ object, int bufferSize, LPVOID buffer);

}  // extern "C"

#endif  // _WIN32
