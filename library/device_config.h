// The device setting dialog: the trigger edge of each interrupt-capable
// input of one device, stored in the device's registry entry and written to
// the board when the user confirms. DeviceConfig (rlx4100_exports.h) shows
// it.
#pragma once

#include "library/settings.h"
#include "platform/ui.h"

// The dialog procedure of the device setting dialog (template
// IDD_DEVICE_SETTING). WM_INITDIALOG takes its lParam as the device number
// the dialog works on (kept with the dialog until it closes: OK stores to
// that device whatever other calls happen meanwhile), reads that device's
// entry into settings of its own and checks the
// buttons of the stored edges, disabling the columns of inputs the board
// type cannot interrupt with; it ends the dialog with 0 before it is shown
// when the entry cannot be read or no memory is left. A click on a radio
// button notes its edge; OK stores the edges the buttons show (bits of
// inputs the board lacks cleared) with WriteDeviceSettings, writes them to
// the board with ApplyTriggerMode and ends the dialog with 0, whatever the
// two report; Cancel (also Escape and the close box) ends it with 0 and
// writes nothing. The settings exist only while the dialog is shown.
// Runs in the thread that showed the dialog. One such dialog per process at
// a time: one shown while another is up ends at once with 0.
INT_PTR CALLBACK ConfigureDeviceDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Writes the low byte of settings->TriggerMode to the trigger-mode register
// of the device's board: opens the device (DeviceOpen), sends one
// register write and closes it again (DeviceClose, which disables every
// interrupt event of the device for all applications). Does nothing when
// the device does not open; a refused write is not reported.
void ApplyTriggerMode(DWORD deviceNumber, const DeviceSettings* settings);
