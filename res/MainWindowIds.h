// Resource ids of the main window, its menu and the typing popup.
#pragma once

#define IDD_PREFERENCES 101
// The size of the main window's template, in dialog units.
#define IDD_PREFERENCES_WIDTH 497
#define IDD_PREFERENCES_HEIGHT 342
#define IDD_INFO 105
#define IDR_MAIN_MENU 114

// Typing popup.
#define IDC_INFO_TEXT 1001
// The suggested end of the shortcut, placed after the typed text.
#define IDC_INFO_COMPLETION 1009

// Main window controls.
#define IDC_COMMANDS_FRAME 1002
#define IDC_COMMAND_LIST 1003
#define IDC_PREFERENCES_FRAME 1006
#define IDC_AUTO_START 1007
#define IDC_ENABLE_ON_START 1008
#define IDC_FIRST_KEY 1013
#define IDC_SECOND_KEY 1014
#define IDC_GROUP_TREE 1015
#define IDC_FIRST_KEY_LABEL 1018
#define IDC_SECOND_KEY_LABEL 1019
#define IDC_STATUS_BAR 1232
#define IDC_SEARCH_BOX 1789

// Toolbar buttons.
#define IDT_ADD_COMMAND 1474
#define IDT_EDIT_COMMAND 1475
#define IDT_REMOVE_COMMANDS 1476
#define IDT_ADD_SCRIPT 1477
#define IDT_ADD_GROUP 1478
#define IDT_EDIT_GROUP 1479
#define IDT_REMOVE_GROUP 1480

// System menu.
#define IDM_SYSTEM_ABOUT 4081

// Main menu.
#define IDM_FILE_CLOSE 40001
#define IDM_GROUP_ADD 40002
#define IDM_GROUP_EDIT 40003
#define IDM_GROUP_REMOVE 40004
#define IDM_COMMAND_ADD 40005
#define IDM_COMMAND_EDIT 40006
#define IDM_COMMAND_REMOVE 40007
#define IDM_COMMAND_ADD_SCRIPT 40008
#define IDM_COMMAND_TOGGLE_ENABLED 40009
#define IDM_HELP_ABOUT 40011
#define IDM_COMMAND_SHOW_MATCHES 40012
#define IDM_COMMAND_ADD_PROGRAM 40013
#define IDM_COMMAND_SHOW_PROGRAMS 40014

// Tray menu.
#define IDM_TRAY_EXIT 1501
#define IDM_TRAY_PREFERENCES 1502
#define IDM_TRAY_ENABLE 1503
#define IDM_TRAY_DISABLE 1504

// Context menus of the command list and of the group tree.
#define IDM_LIST_ADD 1505
#define IDM_LIST_REMOVE 1506
#define IDM_LIST_EDIT 1507
#define IDM_LIST_ADD_SCRIPT 1508
#define IDM_TREE_ADD 1509
#define IDM_TREE_EDIT 1510
#define IDM_TREE_REMOVE 1511
#define IDM_LIST_ADD_PROGRAM 1512
