// The simulated target that vtdio runs against: booting it from the tool's
// options, the devices it published in its registry, and its boards.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/host/control/board.h"
#include "tools/common/target_options.h"
#include "tools/common/tool_target.h"

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

// The target booted in this process from the tool's options (on first
// use), and what its registry and boards say.
class Target {
public:
    // options must outlive the target.
    explicit Target(const vttools::TargetOptions& options) : tool_(options) {}
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    // Boots (once); false with *error set when the machine description
    // cannot be read or the boot fails.
    bool Boot(std::string* error)
    {
        return tool_.Boot(error);
    }
    // Shuts down, saves the hive, writes the trace and plot: EXIT_OK or
    // EXIT_FILE (the failures printed on err).
    int Finish(std::ostream& err)
    {
        return tool_.Finish(err);
    }
    bool booted() const
    {
        return tool_.booted();
    }
    // True when the registry outlives the run in a hive file (--hive).
    bool keepsHive() const
    {
        return tool_.keepsHive();
    }

    // Every device of the device list, in device number order.
    std::vector<PublishedDevice> PublishedDevices() const;

    // The board behind a selector: a device number ("0") or a board's place
    // in the machine description ("@1"). Null with a message when none.
    vtsim::Board* FindBoard(const std::string& selector, std::string* error) const;
    // The device number published for a board, or -1.
    int DeviceNumberOf(const vtsim::Board* board) const;
    // Why a board has no device, in a few words: no driver template matches
    // it, its driver did not load (and why), or the driver runs but
    // published no device number.
    std::string WhyNoDevice(const vtsim::Board* board) const;

private:
    vttools::ToolTarget tool_;
};

}  // namespace vtdio
