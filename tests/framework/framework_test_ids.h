// Ids of the framework tests' resources (framework_test.rc).
#ifndef FRAMEWORK_TEST_IDS_H
#define FRAMEWORK_TEST_IDS_H

#define IDD_MAIN 100
#define IDD_CHILD 200
#define IDC_ACTION 10
#define IDC_RAISE 11
#define IDC_CLOSE 12
#define IDC_EDGE_FIRST 20
#define IDC_EDGE_LAST 23
#define IDC_COMBO 30
#define IDC_TREE 40
#define IDC_TABS 41
#define IDC_LABEL 42
#define IDC_CHILD_BUTTON 50

#endif
