// The device setting dialog and its export DeviceConfig (also exported as
// DeviceConfigExt).
#include "library/device_config.h"

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

// The settings the shown dialog edits; null while no dialog is shown.
DeviceSettings* dialogSettings = nullptr;

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

void FreeDialogSettings()
{
    if (dialogSettings != nullptr) {
        LocalFree(dialogSettings);
        dialogSettings = nullptr;
    }
}

void InitializeDialog(HWND dialog)
{
    FreeDialogSettings();  // left over only if an earlier dialog was torn down unusually
    dialogSettings = static_cast<DeviceSettings*>(LocalAlloc(LPTR, sizeof(DeviceSettings)));
    if (dialogSettings == nullptr) {
        EndDialog(dialog, 0);
        return;
    }
    if (ReadDeviceSettings(CurrentDeviceNumber(), dialogSettings) != 1) {
        FreeDialogSettings();
        EndDialog(dialog, 0);
        return;
    }
    const DWORD inputs = InterruptInputs(*dialogSettings);
    for (DWORD bit = kColumns; bit-- > inputs;) {
        EnableWindow(GetDlgItem(dialog, RisingButton(bit)), FALSE);
        EnableWindow(GetDlgItem(dialog, FallingButton(bit)), FALSE);
    }
    for (DWORD bit = 0; bit < inputs; ++bit) {
        EnableWindow(GetDlgItem(dialog, RisingButton(bit)), TRUE);
        EnableWindow(GetDlgItem(dialog, FallingButton(bit)), TRUE);
        const bool falling = (dialogSettings->TriggerMode >> bit & 1u) != 0;
        CheckRadioButton(dialog, RisingButton(bit), FallingButton(bit),
                         falling ? FallingButton(bit) : RisingButton(bit));
    }
}

void NoteEdge(int id)
{
    if (dialogSettings == nullptr) {
        return;
    }
    const auto bit = static_cast<DWORD>(id - IDC_BIT0_RISING) / 2;
    if ((id - IDC_BIT0_RISING) % 2 == 0) {
        dialogSettings->TriggerMode &= ~(1u << bit);
    } else {
        dialogSettings->TriggerMode |= 1u << bit;
    }
}

void Confirm(HWND dialog)
{
    if (dialogSettings != nullptr) {
        DWORD triggerMode = 0;
        for (DWORD bit = 0; bit < InterruptInputs(*dialogSettings); ++bit) {
            if (IsDlgButtonChecked(dialog, RisingButton(bit)) != BST_CHECKED) {
                triggerMode |= 1u << bit;
            }
        }
        dialogSettings->TriggerMode = triggerMode;
        // The dialog closes whatever these two report.
        const DWORD deviceNumber = CurrentDeviceNumber();
        WriteDeviceSettings(deviceNumber, dialogSettings);
        ApplyTriggerMode(deviceNumber, dialogSettings);
    }
    FreeDialogSettings();
    EndDialog(dialog, 0);
}

void Cancel(HWND dialog)
{
    FreeDialogSettings();
    EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK ConfigureDeviceDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitializeDialog(dialog);
        return TRUE;  // the dialog manager sets the default focus
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_BIT0_RISING && id <= IDC_BIT3_FALLING) {
            if (HIWORD(wParam) == BN_CLICKED) {
                NoteEdge(id);
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
        // the settings go with it.
        FreeDialogSettings();
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
    SetCurrentDeviceNumber(deviceNumber);
    return static_cast<LONG>(DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_DEVICE_SETTING),
                                             parent, &ConfigureDeviceDialog, 0));
}

// The same entry under its second name.
extern "C" RLX4100_API LONG DeviceConfigExt(DWORD deviceNumber, DWORD reserved, HWND parent,
                                            void* reserved1, void* reserved2)
    __attribute__((alias("DeviceConfig")));
