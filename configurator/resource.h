// Ids of the configurator's resources (vtc4100cfg.rc).
#ifndef VTC4100CFG_RESOURCE_H
#define VTC4100CFG_RESOURCE_H

// The template editor window.
#define IDD_TEMPLATE_EDITOR 100
#define IDC_TAB 101
#define IDC_TREE 102
#define IDC_REMOVE 103
#define IDC_ADD 104
#define IDC_PAGE_FRAME 106
#define IDC_SAVE 1006
#define IDC_CLOSE 1007

// The device page.
#define IDD_DEVICE_SETTING_PAGE 1000
#define IDC_MODEL_NAME 1001
#define IDC_SWITCH_ID 1002
#define IDC_BOARD_PICTURE 1003
#define IDC_FEATURES 1004

// The interrupt edge page: for input i, rising edge 2100 + 2i and falling
// edge 2101 + 2i; each input's pair is a radio group.
#define IDD_INTERRUPT_EDGE_PAGE 2000
#define IDC_EDGE_FIRST 2100
#define IDC_EDGE_LAST 2107

// The board pictures.
#define IDB_VTM6200K 105
#define IDB_VTC4100 1005
#define IDB_VTC4100E 1008

#endif
