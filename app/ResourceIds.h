// The ids of the dialogs, their controls, the system menu's commands, the string and the icon: one
// list for the resource script, the program and its tests. Plain macros, because the resource
// compiler reads nothing else.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_GRIDWRIGHT_DIALOG 102
#define IDD_RESTORE 103

// The About item's text, and the application icon.
#define IDS_ABOUTBOX 101
#define IDR_MAINFRAME 128

// System menu commands: multiples of 16, since the system keeps the low four bits for itself.
#define IDM_ABOUTBOX 0x0010
#define IDM_UNDO 0x0020
#define IDM_REDO 0x0030
#define IDM_RESTORE 0x0040
#define IDM_NOT_READ 0x0050
#define IDM_SHOWPICTURES 0x0060

// Controls of the main dialog.
#define IDC_AVAILABLE 1000
#define IDC_INSTALLED 1001
#define IDC_INSTALL 1002
#define IDC_UNINSTALL 1003
#define IDC_DOWN 1005
#define IDC_UP 1006
#define IDC_AVAILABLE_INFO 1008
#define IDC_INSTALLED_INFO 1009
#define IDC_AVAILABLE_GROUP 1010 // the group boxes, titled with their lists' counts
#define IDC_INSTALLED_GROUP 1011
#define IDC_INSTALLED_PICTURE 1017
#define IDC_AVAILABLE_PICTURE 1018
#define IDC_CAN 1026
#define IDC_OK 1027

// Controls of the restore dialog.
#define IDC_KEPT_LISTS 1100
#define IDC_KEPT_CARS 1101
#define IDC_KEPT_DIFFERENCE 1102
