// The device setting dialog and its export DeviceConfig (also exported as
// DeviceConfigExt).
#include "library/device_config.h"

#include <atomic>

#include "common/board_types.h"
#include "library/connections.h"
#include "library/events.h"
#include "library/include/rlx4100.h"
#include "library/module.h"
#include "library/resource.h"
#include "platform/kernel.h"
#include "platform/resources.h"

namespace {

constexpr DWORD kColumns = 4;  // the dialog's input bits 0 to 3

// What one shown dialog works on: the device number it was opened for and
// the settings it edits. Allocated zero-filled when the dialog initialises,
// freed when it closes.
struct DialogState {
    DeviceSettings settings;
    DWORD deviceNumber;
};

// The state of the shown dialog; null while no dialog is shown. The dialog
// also keeps its state in its DWLP_USER slot, so that each dialog only ever
// frees its own: a second dialog shown while one is up (which the library
// does not support) closes before it is shown instead of taking over the
// first one's device number or settings.
std::atomic<DialogState*> shownDialog{nullptr};

int RisingButton(DWORD bit)
{
    return IDC_BIT0_RISING + static_cast<int>(2 * bit);
}

int FallingButton(DWORD bit)
{
    return IDC_BIT0_FALLING + static_cast<int>(2 * bit);
}

DWORD InterruptInputs(const DeviceSettings& settings)
{
    return EventCountOf(settings.BoardID);
}

// The state this dialog owns; null before initialisation and after it was
// freed.
DialogState* StateOf(HWND dialog)
{
    return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void FreeStateOf(HWND dialog)
{
    DialogState* state = StateOf(dialog);
    if (state == nullptr) {
        return;
    }
    SetWindowLongPtrW(dialog, DWLP_USER, 0);
    // Forgets the shown dialog only when it is this one. The comparison
    // takes a copy: a failed exchange overwrites it with the other
    // dialog's state, which must not be what is freed.
    DialogState* expected = state;
    shownDialog.compare_exchange_strong(expected, nullptr);
    LocalFree(state);
}

void InitializeDialog(HWND dialog, DWORD deviceNumber)
{
    auto* state = static_cast<DialogState*>(LocalAlloc(LPTR, sizeof(DialogState)));
    if (state == nullptr) {
        EndDialog(dialog, 0);
        return;
    }
    DialogState* none = nullptr;
    if (!shownDialog.compare_exchange_strong(none, state)) {
        LocalFree(state);  // another device setting dialog is shown
        EndDialog(dialog, 0);
        return;
    }
    state->deviceNumber = deviceNumber;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    DeviceSettings* settings = &state->settings;
    if (ReadDeviceSettings(deviceNumber, settings) != 1) {
        FreeStateOf(dialog);
        EndDialog(dialog, 0);
        return;
    }
    const DWORD inputs = InterruptInputs(*settings);
    for (DWORD bit = kColumns; bit-- > inputs;) {
        EnableWindow(GetDlgItem(dialog, RisingButton(bit)), FALSE);
        EnableWindow(GetDlgItem(dialog, FallingButton(bit)), FALSE);
    }
    for (DWORD bit = 0; bit < inputs; ++bit) {
        EnableWindow(GetDlgItem(dialog, RisingButton(bit)), TRUE);
        EnableWindow(GetDlgItem(dialog, FallingButton(bit)), TRUE);
        const bool falling = (settings->TriggerMode >> bit & 1u) != 0;
        CheckRadioButton(dialog, RisingButton(bit), FallingButton(bit),
                         falling ? FallingButton(bit) : RisingButton(bit));
    }
}

void NoteEdge(HWND dialog, int id)
{
    DialogState* state = StateOf(dialog);
    if (state == nullptr) {
        return;
    }
    DeviceSettings* settings = &state->settings;
    const auto bit = static_cast<DWORD>(id - IDC_BIT0_RISING) / 2;
    if ((id - IDC_BIT0_RISING) % 2 == 0) {
        settings->TriggerMode &= ~(1u << bit);
    } else {
        settings->TriggerMode |= 1u << bit;
    }
}

void Confirm(HWND dialog)
{
    if (DialogState* state = StateOf(dialog)) {
        DeviceSettings* settings = &state->settings;
        DWORD triggerMode = 0;
        for (DWORD bit = 0; bit < InterruptInputs(*settings); ++bit) {
            if (IsDlgButtonChecked(dialog, RisingButton(bit)) != BST_CHECKED) {
                triggerMode |= 1u << bit;
            }
        }
        settings->TriggerMode = triggerMode;
        // The dialog closes whatever these two report.
        WriteDeviceSettings(state->deviceNumber, settings);
        ApplyTriggerMode(state->deviceNumber, settings);
    }
    FreeStateOf(dialog);
    EndDialog(dialog, 0);
}

void Cancel(HWND dialog)
{
    FreeStateOf(dialog);
    EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK ConfigureDeviceDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitializeDialog(dialog, static_cast<DWORD>(lParam));
        return TRUE;  // the dialog manager sets the default focus
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_BIT0_RISING && id <= IDC_BIT3_FALLING) {
            if (HIWORD(wParam) == BN_CLICKED) {
                NoteEdge(dialog, id);
            }
        } else if (id == IDOK) {
            Confirm(dialog);
        } else if (id == IDCANCEL) {
            Cancel(dialog);
        }
        return TRUE;
    }
    case WM_DESTROY:
        // Ended some other way than OK or Cancel (destroyed with its owner):
        // its state goes with it.
        FreeStateOf(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

void ApplyTriggerMode(DWORD deviceNumber, const DeviceSettings* settings)
{
    LONG handle = 0;
    if (DeviceOpen(deviceNumber, &handle) != API_SUCCESS) {
        return;
    }
    {
        ConnectionRef connection(handle);
        if (connection) {
            WriteBoardByte(*connection, REG_TRIGGER_MODE, static_cast<BYTE>(settings->TriggerMode));
        }
    }
    DeviceClose(&handle);
}

// ---- Exports -------------------------------------------------------------------------

LONG DeviceConfig(DWORD deviceNumber, DWORD, HWND parent, void*, void*)
{
    // The dialog gets its device number as its own (the initialisation
    // parameter), so that nothing another call stores in the library can
    // change the device a shown dialog saves to.
    return static_cast<LONG>(DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_DEVICE_SETTING),
                                             parent, &ConfigureDeviceDialog,
                                             static_cast<LPARAM>(deviceNumber)));
}

// The same entry under its second name.
extern "C" RLX4100_API LONG DeviceConfigExt(DWORD deviceNumber, DWORD reserved, HWND parent,
                                            void* reserved1, void* reserved2)
    __attribute__((alias("DeviceConfig")));
