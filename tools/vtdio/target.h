// The simulated target that vtdio runs against: booting it from the tool's
// options, the devices it published in its registry, and its boards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/control/board.h"

namespace vtdio {

struct TargetOptions {
    std::string machineFile;                 // empty: the default machine
    std::vector<std::string> registryFiles;  // empty: the default scripts
    std::string hiveFile;                    // empty: no hive kept
    bool debug = false;                      // echo the driver's debug output
    bool loopbackEverywhere = false;         // wire DO k to DI k on every board
};

// A device as the registry publishes it (device list entry plus the model's
// driver-key entry).
struct PublishedDevice {
    unsigned number = 0;
    std::uint32_t boardType = 0;
    std::string kernelKey;  // "RLX4100S"
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

// "VTC-4100", "VTC-4100E", "VTM-6200K" or "unknown".
const char* ModelOfBoardType(std::uint32_t boardType);

// Boots the target in this process and shuts it down on destruction.
class Target {
public:
    Target() = default;
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    ~Target();

    bool Boot(const TargetOptions& options, std::string* error);
    void Shutdown();
    bool booted() const { return booted_; }

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
