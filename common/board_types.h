// Board models and the counts derived from them, in one place: the driver
// identifies and serves boards by this table, the library answers for them
// by it, and the simulated target builds its boards from it.
#pragma once

#include "platform/types.h"

constexpr DWORD BOARD_TYPE_VTC4100 = 135;   // 0x87
constexpr DWORD BOARD_TYPE_VTC4100E = 226;  // 0xE2
constexpr DWORD BOARD_TYPE_VTM6200K = 221;  // 0xDD

// Room in the per-device records: no model has more ports or interrupt
// inputs than these.
constexpr DWORD MAX_PORTS = 4;
constexpr DWORD MAX_EVENTS = 4;
constexpr DWORD LINES_PER_PORT = 8;  // digital lines, one bit each

// One board model. A board is identified by its PCI device id and subsystem
// id; its DI ports and as many DO ports are 8 bits each, and its interrupt
// inputs are DI port 0 bits 0..interruptInputs-1, which raise the events of
// the same numbers.
struct BoardTypeInfo {
    DWORD boardType;        // the code the driver reports and the registry holds
    const char* modelName;  // as people see it: "VTC-4100"
    WORD pciDeviceId;
    WORD pciSubsystemId;
    DWORD portCount;
    DWORD interruptInputs;
};

inline constexpr BoardTypeInfo BOARD_TYPES[] = {
    {BOARD_TYPE_VTC4100, "VTC-4100", 0x4100, 0xA100, 4, 4},
    {BOARD_TYPE_VTC4100E, "VTC-4100E", 0x4100, 0xB100, 4, 4},
    {BOARD_TYPE_VTM6200K, "VTM-6200K", 0x6200, 0xA200, 2, 2},
};

// The row of a board type code; any other code (0 is the code of a board
// that was not identified) gives a row of zeros: no name, ports or inputs.
constexpr BoardTypeInfo BoardTypeInfoOf(DWORD boardType)
{
    for (const BoardTypeInfo& info : BOARD_TYPES) {
        if (info.boardType == boardType) {
            return info;
        }
    }
    return BoardTypeInfo{0, nullptr, 0, 0, 0, 0};
}

// The board type of PCI ids: the model that carries both ids, else the first
// model listed with the device id (a VTC-4100 whose subsystem id is missing or
// another maker's is still a VTC-4100); 0 when no model has the device id.
constexpr DWORD BoardTypeFromPciIds(DWORD deviceId, DWORD subsystemId)
{
    DWORD byDeviceId = 0;
    for (const BoardTypeInfo& info : BOARD_TYPES) {
        if (info.pciDeviceId != deviceId) {
            continue;
        }
        if (info.pciSubsystemId == subsystemId) {
            return info.boardType;
        }
        if (byDeviceId == 0) {
            byDeviceId = info.boardType;
        }
    }
    return byDeviceId;
}

// True for the three board models the package serves.
constexpr bool IsKnownBoardType(DWORD boardType)
{
    return boardType != 0 && BoardTypeInfoOf(boardType).boardType == boardType;
}

// DI (and DO) ports of a board type: 4, 4, 2; 0 for any other code.
constexpr DWORD PortCountOf(DWORD boardType)
{
    return BoardTypeInfoOf(boardType).portCount;
}

// Interrupt events of a board type: 4, 4, 2; 0 for any other code.
constexpr DWORD EventCountOf(DWORD boardType)
{
    return BoardTypeInfoOf(boardType).interruptInputs;
}

// Bits of the interrupt status register that belong to the board's events.
constexpr DWORD EventMaskOf(DWORD boardType)
{
    return (1u << EventCountOf(boardType)) - 1u;
}

// Interrupt inputs that are served on a board of this type: the model's, and
// all MAX_EVENTS on a board of no known model, whose registers are laid out
// as on the four-input boards. Enabling an event and claiming a pending
// interrupt go by this count; event windows go by the model's own.
constexpr DWORD ServedEventCountOf(DWORD boardType)
{
    return IsKnownBoardType(boardType) ? EventCountOf(boardType) : MAX_EVENTS;
}

// Board registers, offsets from the board's first port.
constexpr DWORD REG_DIO_PORT = 0x00;
constexpr DWORD REG_BOARD_ID = 0x04;
constexpr DWORD REG_INT_ENABLE = 0x08;
constexpr DWORD REG_TRIGGER_MODE = 0x0C;
constexpr DWORD REG_INT_STATUS = 0x10;

// The table is consistent: one row per code and per pair of PCI ids, every
// model fits the per-device records, and the ids identify each model.
constexpr bool BoardTypesAreConsistent()
{
    for (const BoardTypeInfo& info : BOARD_TYPES) {
        DWORD rows = 0;
        for (const BoardTypeInfo& other : BOARD_TYPES) {
            rows += other.boardType == info.boardType ? 1 : 0;
        }
        if (rows != 1 || info.boardType == 0 || info.modelName == nullptr ||
            BoardTypeFromPciIds(info.pciDeviceId, info.pciSubsystemId) != info.boardType ||
            info.portCount == 0 || info.portCount > MAX_PORTS || info.interruptInputs == 0 ||
            info.interruptInputs > MAX_EVENTS) {
            return false;
        }
    }
    return true;
}
static_assert(BoardTypesAreConsistent());
// A code of no model has no ports and no events of its own, yet all event
// slots are served; PCI ids fall back on the device id alone.
static_assert(PortCountOf(0) == 0 && EventMaskOf(0) == 0 && ServedEventCountOf(0) == MAX_EVENTS);
static_assert(ServedEventCountOf(BOARD_TYPE_VTM6200K) == EventCountOf(BOARD_TYPE_VTM6200K));
static_assert(BoardTypeFromPciIds(0x4100, 0) == BOARD_TYPE_VTC4100 &&
              BoardTypeFromPciIds(0x6200, 0xB100) == BOARD_TYPE_VTM6200K &&
              BoardTypeFromPciIds(0, 0) == 0);
