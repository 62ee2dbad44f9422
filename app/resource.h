// Resource ids, as plain macros for the resource compiler. The control ids match
// lists/ControlIds.h.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_GRIDWRIGHT_DIALOG 102
#define IDM_ABOUTBOX 0x0010

#define IDC_AVAILABLE 1000
#define IDC_INSTALLED 1001
#define IDC_INSTALL 1002
#define IDC_UNINSTALL 1003
#define IDC_DOWN 1005
#define IDC_UP 1006
#define IDC_AVAILABLE_INFO 1008
#define IDC_INSTALLED_INFO 1009
#define IDC_INSTALLED_PICTURE 1017
#define IDC_AVAILABLE_PICTURE 1018
#define IDC_CAN 1026
#define IDC_OK 1027
