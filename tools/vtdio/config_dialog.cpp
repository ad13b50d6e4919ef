#include "tools/vtdio/config_dialog.h"

#include "library/include/rlx4100.h"
#include "platform/host/control/pictures.h"
#include "platform/host/control/ui_driver.h"
#include "platform/ui.h"
#include "tools/common/numbers.h"

namespace vtdio {
namespace {

constexpr int kFirstEdgeButton = 1011;  // bit n: rising 1011 + 2n, falling 1012 + 2n
constexpr unsigned kEdgeColumns = 4;

int EdgeButton(unsigned bit, bool falling)
{
    return kFirstEdgeButton + static_cast<int>(2 * bit) + (falling ? 1 : 0);
}

}  // namespace

ConfigDialog::~ConfigDialog()
{
    if (!thread_.joinable()) {
        return;
    }
    std::string error;
    Act([](HWND dialog, std::string* why) { return vtsim::PressCancel(dialog, why); }, &error);
    thread_.join();
}

bool ConfigDialog::Open(std::uint32_t deviceNumber)
{
    deviceNumber_ = deviceNumber;
    thread_ = std::thread([this, deviceNumber] {
        vtsim::SetUiHandler([this](vtsim::UiPrompt& prompt) {
            if (prompt.kind == vtsim::UiPrompt::Kind::Dialog) {
                Serve(prompt.window);
            }
        });
        const LONG result = DeviceConfig(deviceNumber, 0, nullptr, nullptr, nullptr);
        vtsim::SetUiHandler({});
        std::lock_guard lock(mutex_);
        ended_ = true;
        returned_ = true;
        result_ = result;
        changed_.notify_all();
    });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return shown_ || returned_; });
    return shown_;
}

void ConfigDialog::Serve(HWND dialog)
{
    std::unique_lock lock(mutex_);
    dialog_ = dialog;
    shown_ = true;
    changed_.notify_all();
    while (IsWindowVisible(dialog)) {
        changed_.wait(lock, [this] { return pending_ != nullptr && !done_; });
        const Action& action = *pending_;
        lock.unlock();
        std::string error;
        const bool outcome = action(dialog, &error);
        lock.lock();
        outcome_ = outcome;
        error_ = error;
        done_ = true;
        changed_.notify_all();
    }
    ended_ = true;
    changed_.notify_all();
}

bool ConfigDialog::IsOpen()
{
    std::lock_guard lock(mutex_);
    return shown_ && !ended_;
}

bool ConfigDialog::Act(const Action& action, std::string* error)
{
    std::unique_lock lock(mutex_);
    if (!shown_ || ended_) {
        *error = "no device setting dialog is open (config N opens one)";
        return false;
    }
    pending_ = &action;
    done_ = false;
    changed_.notify_all();
    changed_.wait(lock, [this] { return done_; });
    pending_ = nullptr;
    const bool outcome = outcome_;
    *error = error_;
    // The dialog's thread held the lock from the outcome until it had seen
    // whether the action ended the dialog: ended_ is up to date.
    return outcome;
}

LONG ConfigDialog::Result()
{
    if (thread_.joinable()) {
        thread_.join();
    }
    std::lock_guard lock(mutex_);
    return result_;
}

bool ClickEdge(HWND dialog, unsigned bit, bool falling, std::string* error)
{
    HWND button = vtsim::FindControl(dialog, EdgeButton(bit, falling));
    if (bit >= kEdgeColumns || button == nullptr) {
        *error = "the dialog has no bit " + std::to_string(bit);
        return false;
    }
    if (!IsWindowEnabled(button)) {
        *error = "bit " + std::to_string(bit) +
                 " cannot interrupt on this board: its buttons are disabled";
        return false;
    }
    return vtsim::Click(button, error);
}

bool ClickControl(HWND dialog, const std::string& idOrText, std::string* error)
{
    std::uint64_t id = 0;
    HWND control = vttools::ParseUnsigned(idOrText, 0xFFFF, &id)
                       ? vtsim::FindControl(dialog, static_cast<int>(id))
                       : vtsim::FindControlByText(dialog, idOrText);
    if (control == nullptr) {
        *error = "the dialog has no control '" + idOrText + "'";
        return false;
    }
    return vtsim::Click(control, error);
}

bool WriteDialogPicture(HWND dialog, const std::string& path, std::string* error)
{
    return vtsim::WriteWindowPng(vtsim::Snapshot(dialog), path, error);
}

std::string DescribeEdges(HWND dialog)
{
    std::string text;
    for (unsigned bit = 0; bit < kEdgeColumns; ++bit) {
        HWND rising = vtsim::FindControl(dialog, EdgeButton(bit, false));
        HWND falling = vtsim::FindControl(dialog, EdgeButton(bit, true));
        text += "Bit" + std::to_string(bit) + ": ";
        if (!IsWindowEnabled(rising) || !IsWindowEnabled(falling)) {
            text += "disabled";
        } else if (SendMessageW(falling, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            text += "falling";
        } else if (SendMessageW(rising, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            text += "rising";
        } else {
            text += "none";
        }
        text += "\n";
    }
    return text;
}

}  // namespace vtdio
