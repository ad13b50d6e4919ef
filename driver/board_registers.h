// 8-bit access to the board's registers, relative to its first port.
#pragma once

#include "driver/device_context.h"
#include "platform/ddk.h"

inline PUCHAR BoardPort(const DeviceContext* context, DWORD offset)
{
    return reinterpret_cast<PUCHAR>(static_cast<ULONG_PTR>(context->ioBase + offset));
}

inline BYTE ReadBoardRegister(const DeviceContext* context, DWORD offset)
{
    return READ_PORT_UCHAR(BoardPort(context, offset));
}

inline void WriteBoardRegister(const DeviceContext* context, DWORD offset, BYTE value)
{
    WRITE_PORT_UCHAR(BoardPort(context, offset), value);
}
