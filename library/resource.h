// Ids of the driver library's resources (rlx4100.rc).
#ifndef RLX4100_RESOURCE_H
#define RLX4100_RESOURCE_H

// The device setting dialog.
#define IDD_DEVICE_SETTING 102

// Its radio buttons: for input bit n, rising edge 1011 + 2n and falling
// edge 1012 + 2n; each bit's pair is a radio group.
#define IDC_BIT0_RISING 1011
#define IDC_BIT0_FALLING 1012
#define IDC_BIT1_RISING 1013
#define IDC_BIT1_FALLING 1014
#define IDC_BIT2_RISING 1015
#define IDC_BIT2_FALLING 1016
#define IDC_BIT3_RISING 1017
#define IDC_BIT3_FALLING 1018

#endif
