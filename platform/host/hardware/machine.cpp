// The machine description: PCI identities of the board models, the default
// machine and the consistency rules every description must meet.
#include "platform/host/control/machine.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "common/board_types.h"
#include "platform/host/hardware/board_model.h"
#include "platform/host/hardware/pci_bus.h"

namespace vtsim {

namespace {

// The maker's PCI vendor id and the board family's class code (a "signal
// processing controller, other" device).
constexpr std::uint32_t kVendorId = 0x1D5A;
constexpr std::uint32_t kClassCode = 0x11;
constexpr std::uint32_t kSubClass = 0x80;
// Device and subsystem id of the unknown model: no model has them.
constexpr std::uint32_t kUnknownId = 0x7777;
static_assert(BoardTypeFromPciIds(kUnknownId, kUnknownId) == 0);

}  // namespace

PciIdentity IdentityOf(BoardModel model)
{
    PciIdentity id{};
    id.vendorId = kVendorId;
    id.subVendorId = kVendorId;
    id.classCode = kClassCode;
    id.subClass = kSubClass;
    id.progIf = 0;
    id.revisionId = 1;
    const BoardTypeInfo info = internal::TypeInfoOf(model);
    if (info.boardType != 0) {
        id.deviceId = info.pciDeviceId;
        id.subSystemId = info.pciSubsystemId;
    } else {
        id.deviceId = kUnknownId;
        id.subSystemId = kUnknownId;
    }
    return id;
}

const char* ModelName(BoardModel model)
{
    const BoardTypeInfo info = internal::TypeInfoOf(model);
    return info.modelName != nullptr ? info.modelName : "unknown";
}

bool ParseModelName(const std::string& text, BoardModel* model)
{
    // Case-insensitive; the hyphen may be left out ("vtc4100e").
    std::string wanted;
    for (char c : text) {
        if (c != '-') {
            wanted.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    for (BoardModel m :
         {BoardModel::VTC4100, BoardModel::VTC4100E, BoardModel::VTM6200K, BoardModel::Unknown}) {
        std::string name;
        for (const char* p = ModelName(m); *p; ++p) {
            if (*p != '-') {
                name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*p))));
            }
        }
        if (name == wanted) {
            if (model) {
                *model = m;
            }
            return true;
        }
    }
    return false;
}

MachineDescription MachineDescription::Default()
{
    struct Placement {
        BoardModel model;
        std::uint32_t slot;
        std::uint8_t switchId;
        std::uint32_t ioBase, irq;
    };
    static constexpr Placement kBoards[] = {{BoardModel::VTC4100, 5, 1, 0xE800, 10},
                                            {BoardModel::VTC4100E, 6, 2, 0xE400, 11},
                                            {BoardModel::VTM6200K, 7, 3, 0xE000, 9}};
    MachineDescription machine;
    for (const Placement& p : kBoards) {
        BoardConfig c;
        c.model = p.model;
        c.slot = p.slot;
        c.switchId = p.switchId;
        c.ioBase = p.ioBase;
        c.irq = p.irq;
        machine.boards.push_back(c);
    }
    return machine;
}

namespace internal {

bool ValidateMachine(const MachineDescription& machine, std::string* error)
{
    auto fail = [&](std::size_t index, const std::string& what) {
        if (error) {
            *error = "board @" + std::to_string(index) + ": " + what;
        }
        return false;
    };
    const auto& boards = machine.boards;
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const BoardConfig& b = boards[i];
        if (b.bus > 255) {
            return fail(i, "bus " + std::to_string(b.bus) + " is out of range 0..255");
        }
        if (b.slot > 31) {
            return fail(i, "slot " + std::to_string(b.slot) + " is out of range 0..31");
        }
        if (b.function > 7) {
            return fail(i, "function " + std::to_string(b.function) + " is out of range 0..7");
        }
        if (b.switchId > 15) {
            return fail(i, "switch " + std::to_string(b.switchId) + " is out of range 0..15");
        }
        if (b.irq > 255) {
            return fail(i, "irq " + std::to_string(b.irq) + " is out of range 0..255");
        }
        if (b.ioLength < kMinIoLength) {
            return fail(i, "io_length " + std::to_string(b.ioLength) +
                               " is too small for the board's registers (at least 17)");
        }
        if (std::uint64_t(b.ioBase) + b.ioLength > 0x10000) {
            return fail(i, "the I/O window does not fit in the 64 KiB port space");
        }
        for (std::size_t j = 0; j < i; ++j) {
            const BoardConfig& o = boards[j];
            if (o.bus == b.bus && o.slot == b.slot && o.function == b.function) {
                return fail(i,
                            "bus/slot/function is already taken by board @" + std::to_string(j));
            }
            if (b.ioBase < o.ioBase + o.ioLength && o.ioBase < b.ioBase + b.ioLength) {
                return fail(i, "the I/O window overlaps that of board @" + std::to_string(j));
            }
        }
    }
    return true;
}

}  // namespace internal

}  // namespace vtsim
