// Board register writes shared by the event operations and the device
// setting dialog.
#pragma once

#include "library/connections.h"
#include "platform/types.h"

// Writes one byte to a board register through IOCTL_PORT_WRITE_BYTE; the
// request's result is not reported.
void WriteBoardByte(const DeviceConnection& connection, DWORD registerOffset, BYTE value);
