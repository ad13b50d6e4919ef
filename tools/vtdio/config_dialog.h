// The device setting dialog of the driver library (DeviceConfig) shown for
// vtdio: in a thread of its own, so that a command or a shell session can
// look at it and act on it step by step while it is up, as a person would.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/types.h"

namespace vtdio {

class ConfigDialog {
public:
    // An action on the shown dialog; false with a message in *error.
    using Action = std::function<bool(HWND dialog, std::string* error)>;

    ConfigDialog() = default;
    // A dialog still up is cancelled first.
    ~ConfigDialog();
    ConfigDialog(const ConfigDialog&) = delete;
    ConfigDialog& operator=(const ConfigDialog&) = delete;

    // Calls DeviceConfig for the device in a new thread and returns once the
    // dialog is shown (true) or DeviceConfig has returned without showing
    // it (false: the device has no readable entry, or the dialog could not
    // be created; Result() tells). Call once.
    bool Open(std::uint32_t deviceNumber);
    // The dialog is shown and has not been ended.
    bool IsOpen();
    // Runs action on the dialog in the dialog's thread (window actions must
    // run there) and returns its outcome; false when no dialog is open. An
    // action that ends the dialog (OK, Cancel) lets DeviceConfig return.
    bool Act(const Action& action, std::string* error);
    // Waits for DeviceConfig to return; its result.
    LONG Result();
    // The device number given to Open.
    std::uint32_t deviceNumber() const
    {
        return deviceNumber_;
    }

private:
    void Serve(HWND dialog);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
    std::uint32_t deviceNumber_ = 0;
    HWND dialog_ = nullptr;
    bool shown_ = false;
    bool ended_ = false;     // the dialog was ended (or never shown)
    bool returned_ = false;  // DeviceConfig has returned
    LONG result_ = 0;
    const Action* pending_ = nullptr;  // the action to run, while Act waits
    bool done_ = false;                // pending_ ran: outcome below
    bool outcome_ = false;
    std::string error_;
};

// ---- Actions and views on the dialog --------------------------------------------------

// Clicks the Rising or the Falling button of an input bit (0 to 3); fails
// when the board has no such interrupt input (the buttons are disabled).
bool ClickEdge(HWND dialog, unsigned bit, bool falling, std::string* error);
// Clicks the control with that id (a number) or text ("OK", "Cancel").
bool ClickControl(HWND dialog, const std::string& idOrText, std::string* error);
// Writes the dialog's picture as a PNG file.
bool WriteDialogPicture(HWND dialog, const std::string& path, std::string* error);
// One line per input bit: "Bit0: rising", "Bit2: disabled", ...
std::string DescribeEdges(HWND dialog);

}  // namespace vtdio
