// The simulated machine: its PCI boards and how they are wired.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtsim {

enum class BoardModel { VTC4100, VTC4100E, VTM6200K, Unknown };

// PCI identity of a model (the unknown model has a device id that no
// template matches).
struct PciIdentity {
    std::uint32_t vendorId, deviceId, subVendorId, subSystemId;
    std::uint32_t classCode, subClass, progIf, revisionId;
};
PciIdentity IdentityOf(BoardModel model);
const char* ModelName(BoardModel model);  // "VTC-4100", ..., "unknown"
bool ParseModelName(const std::string& text, BoardModel* model);

struct BoardConfig {
    BoardModel model = BoardModel::VTC4100;
    std::uint32_t bus = 0;
    std::uint32_t slot = 0;
    std::uint32_t function = 0;
    std::uint8_t switchId = 0;
    std::uint32_t ioBase = 0;
    std::uint32_t ioLength = 0x20;
    std::uint32_t irq = 0;
    bool loopback = false;  // DO port k wired to DI port k

    // Faults written into the board's instance key at enumeration.
    bool omitPciInfo = false;        // no DeviceNumber/ids in the instance key
    bool incompleteIsrInfo = false;  // IsrHandler missing
    bool omitIoWindow = false;       // no IoBase/IoLen
    std::string isrDllOverride;      // e.g. a library name that does not load

    bool operator==(const BoardConfig&) const = default;
};

struct MachineDescription {
    std::vector<BoardConfig> boards;

    // One VTC-4100, one VTC-4100E and one VTM-6200K at distinct slots, I/O
    // bases, switch settings and IRQ lines.
    static MachineDescription Default();
    // A TOML description:
    //   [[board]]
    //   model = "VTC-4100"   # or "VTC-4100E", "VTM-6200K", "unknown"
    //   bus = 0
    //   slot = 5
    //   function = 0
    //   switch = 3
    //   io_base = 0xE800
    //   io_length = 0x20
    //   irq = 10
    //   loopback = false
    //   # faults written into the instance key (all optional):
    //   omit_pci_info = false, incomplete_isr_info = false,
    //   omit_io_window = false, isr_dll = "Missing.dll"
    // model, slot, io_base and irq are required; bus, function, switch
    // default to 0, io_length to 0x20. Unknown keys, out-of-range numbers,
    // shared bus/slot/function and overlapping I/O windows are errors; the
    // error names the board (1-based) and the key, or the line of a syntax
    // error.
    static bool FromToml(const std::string& text, MachineDescription* out, std::string* error);
    static bool FromTomlFile(const std::string& path, MachineDescription* out, std::string* error);
    // The description in the TOML form above, one [[board]] table per board
    // in order, with every key except the faults that are not set. FromToml
    // reads a valid description (UTF-8 text in isr_dll) back unchanged.
    std::string ToToml() const;
};

}  // namespace vtsim
