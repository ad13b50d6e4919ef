// The simulated target that vtdio runs against: booting it from the tool's
// options, the devices it published in its registry, and its boards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/control/board.h"
#include "tools/common/target_options.h"

namespace vtdio {

// A device as the registry publishes it: its device-list entry (any subkey
// name that the driver counts as a device number) plus the entry of the
// same name under its model's driver key.
struct PublishedDevice {
    unsigned number = 0;
    std::uint32_t boardType = 0;
    std::string deviceName;
    std::string callName;
    std::uint32_t switchId = 0;
    std::uint32_t baseAddress = 0;
    std::uint32_t ioPortCount = 0;
    std::uint32_t irq = 0;
    std::uint32_t triggerMode = 0;
    std::uint32_t bus = 0;
    std::uint32_t slot = 0;
    bool complete = false;  // every driver-key value could be read
};

// Boots the target in this process and shuts it down on destruction.
class Target {
public:
    Target() = default;
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    ~Target();

    // Boots from the tool's options; false with *error set when the machine
    // description cannot be read or the boot fails.
    bool Boot(const vttools::TargetOptions& options, std::string* error);
    void Shutdown();
    bool booted() const
    {
        return booted_;
    }

    // Every device of the device list, in device number order.
    std::vector<PublishedDevice> PublishedDevices() const;

    // The board behind a selector: a device number ("0") or a board's place
    // in the machine description ("@1"). Null with a message when none.
    vtsim::Board* FindBoard(const std::string& selector, std::string* error) const;
    // The device number published for a board, or -1.
    int DeviceNumberOf(const vtsim::Board* board) const;

private:
    bool booted_ = false;
};

}  // namespace vtdio
