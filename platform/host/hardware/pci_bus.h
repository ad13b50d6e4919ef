// The simulated PCI bus (internal to platform/host/): the installed boards,
// port decoding, and enumeration of the boards against the driver templates
// in the registry. The device manager calls it at boot and shutdown:
//
//     InstallBoards(options.machine, &error);
//     EnumeratePciBus(&devices, &error);   // then load devices in this order
//     ...
//     RemoveBoards();                      // after every driver is unloaded
#pragma once

#include "platform/host/internal_header.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/control/machine.h"
#include "platform/host/hardware/board_model.h"
#include "platform/types.h"

namespace vtsim::internal {

// The smallest I/O window that holds the board's registers (0 to 0x10).
constexpr std::uint32_t kMinIoLength = 0x11;

// Checks ranges (bus, slot, function, switch, IRQ, window inside the 64 KiB
// port space and large enough), that no two boards share a bus/slot/function
// and that no two I/O windows overlap. The error names the board (1-based).
bool ValidateMachine(const MachineDescription& machine, std::string* error);

// Replaces the installed boards by those of the machine (after validating
// it). Each board gets its own logical interrupt, numbered from
// SYSINTR_DEVICES in the machine's board order, and is attached to its IRQ
// line. Boards that share an IRQ share the line.
bool InstallBoards(const MachineDescription& machine, std::string* error);

// Removes every board and all interrupt state (handlers, logical interrupts,
// registered events). Port accesses then read all ones.
void RemoveBoards();

// The installed boards in machine order (valid until RemoveBoards).
std::vector<Board*> InstalledBoards();
std::shared_ptr<SimulatedBoard> InstalledBoard(std::size_t index);
// The board whose I/O window holds the port, or nullptr.
std::shared_ptr<SimulatedBoard> BoardAtPort(std::uint32_t port);
// The logical interrupt assigned to an installed board (SYSINTR_UNDEFINED
// for anything else).
DWORD SysIntrOfBoard(const Board* board);

// One board matched to a driver template.
struct EnumeratedDevice {
    std::u16string instanceKey;  // relative to HKLM: "Drivers\BuiltIn\PCI\Instance\<Name><n>"
    std::u16string templateName;
    std::u16string dll;     // the template's "Dll"
    std::u16string prefix;  // the template's "Prefix" ("" when absent)
    DWORD order = 0;        // the template's "Order" (0 when absent)
    Board* board = nullptr;
};

// Enumerates the installed boards in bus/slot/function order. Each board is
// matched against the subkeys of HKLM\Drivers\BuiltIn\PCI\Template: a
// template matches when every id value it lists (Class, SubClass, ProgIF,
// VendorID, DeviceID, RevisionID, SubVendorID, SubSystemID; a REG_DWORD, or
// a REG_MULTI_SZ of hexadecimal alternatives) equals the board's. A template
// that lists no id, has an id of another type, or has no "Dll" matches
// nothing. When several templates match, the one listing the most ids wins
// (the most specific description of the board); among equals the first in
// registry order. The instance keys of an earlier boot are removed first
// (the bus owns HKLM\Drivers\BuiltIn\PCI\Instance), then each matched board
// gets Instance\<Name><n> (n = 1, 2, ... per template; also its
// InstanceIndex) with the template's values and the board's bus values, as
// its BoardConfig fault flags allow. A board that matches nothing gets no
// key. Returns the matched devices sorted by Order (stable); false with an
// error when a registry write fails.
bool EnumeratePciBus(std::vector<EnumeratedDevice>* devices, std::string* error);

}  // namespace vtsim::internal
