// Ids of the window tests' own resources (test_resources.rc).
#define IDD_SAMPLE 100
#define IDD_CHILD_PAGE 101
#define IDB_SAMPLE 200
#define IDC_FIRST_RADIO 1001
#define IDC_SECOND_RADIO 1002
#define IDC_THIRD_RADIO 1003
#define IDC_LONE_RADIO 1004
#define IDC_NAME 1005
#define IDC_PICTURE 1006
