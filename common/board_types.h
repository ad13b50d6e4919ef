// Board models and the counts derived from them, in one place.
#pragma once

#include "platform/types.h"

constexpr DWORD BOARD_TYPE_VTC4100 = 135;   // 0x87
constexpr DWORD BOARD_TYPE_VTC4100E = 226;  // 0xE2
constexpr DWORD BOARD_TYPE_VTM6200K = 221;  // 0xDD

constexpr DWORD MAX_PORTS = 4;
constexpr DWORD MAX_EVENTS = 4;

// True for the three board models the package serves.
constexpr bool IsKnownBoardType(DWORD boardType)
{
    return boardType == BOARD_TYPE_VTC4100 || boardType == BOARD_TYPE_VTC4100E ||
           boardType == BOARD_TYPE_VTM6200K;
}

// DI (and DO) ports of a board type: 4, 4, 2; 0 for any other code.
constexpr DWORD PortCountOf(DWORD boardType)
{
    switch (boardType) {
    case BOARD_TYPE_VTC4100:
    case BOARD_TYPE_VTC4100E:
        return 4;
    case BOARD_TYPE_VTM6200K:
        return 2;
    default:
        return 0;
    }
}

// Interrupt events of a board type: 4, 4, 2; 0 for any other code.
constexpr DWORD EventCountOf(DWORD boardType)
{
    return PortCountOf(boardType);
}

// Bits of the interrupt status register that belong to the board's events.
constexpr DWORD EventMaskOf(DWORD boardType)
{
    return (1u << EventCountOf(boardType)) - 1u;
}

// Board registers, offsets from the board's first port.
constexpr DWORD REG_DIO_PORT = 0x00;
constexpr DWORD REG_BOARD_ID = 0x04;
constexpr DWORD REG_INT_ENABLE = 0x08;
constexpr DWORD REG_TRIGGER_MODE = 0x0C;
constexpr DWORD REG_INT_STATUS = 0x10;
