#pragma once

// Resource ids of the artwork, the icon picker and the about box. Shared
// between the resource scripts and the code, so plain defines only.

#define IDI_QV_PROGRAM 102
#define IDI_QV_TRAY_ENABLED 103
#define IDI_QV_TRAY_DISABLED 104
#define IDB_QV_ICON_SET 112
#define IDB_QV_ACTIONS 113
#define IDI_QV_OK 115
#define IDI_QV_CANCEL 116
// Banner icons of the editors (32 x 32).
#define IDI_QV_EDIT_COMMAND 117
#define IDI_QV_ADD_COMMAND 118
#define IDI_QV_ADD_SCRIPT 122
#define IDI_QV_EDIT_SCRIPT 123
#define IDI_QV_EDIT_GROUP 125
#define IDI_QV_ADD_GROUP 126
#define IDD_QV_SELECT_ICON 127
#define IDI_QV_BANNER 128
#define IDD_QV_ABOUT 129

#define IDB_QV_GROUPBOX_TOP_RIGHT 131
#define IDB_QV_GROUPBOX_BOTTOM_MIDDLE 132
#define IDB_QV_GROUPBOX_BOTTOM_LEFT 133
#define IDB_QV_GROUPBOX_BOTTOM_RIGHT 134
#define IDB_QV_GROUPBOX_TITLE_MIDDLE 135
#define IDB_QV_GROUPBOX_TOP_LEFT 136

// Controls.
#define IDC_QV_ABOUT_TEXT 1001
#define IDC_QV_BANNER 1020
#define IDC_QV_ICON_LIST 1030
#define IDC_QV_ABOUT_LINK 1042
