#pragma once

// Resource ids of the command, group, script and script-step editors.
// Shared between the resource scripts and the code, so plain defines only.
// The banner (IDC_QV_BANNER) and the banner icons are in ArtworkIds.h.

#define IDD_QV_EDIT_COMMAND 106
#define IDD_QV_EDIT_SCRIPT 120
#define IDD_QV_EDIT_STEP 121
#define IDD_QV_EDIT_GROUP 124

// Controls.
#define IDC_QV_TYPE 1009
#define IDC_QV_COMMAND 1010
#define IDC_QV_BROWSE 1011
#define IDC_QV_SHORTCUT 1012
#define IDC_QV_NAME 1013
#define IDC_QV_STEPS_FRAME 1022
#define IDC_QV_STEP_LIST 1023
#define IDC_QV_ADD_STEP 1024
#define IDC_QV_REMOVE_STEPS 1025
#define IDC_QV_EDIT_STEP 1026
#define IDC_QV_ICON_BUTTON 1028
#define IDC_QV_VALUE_LABEL 1033
#define IDC_QV_HOT_KEY 1034
#define IDC_QV_OR_CHOOSE_LABEL 1035
#define IDC_QV_OR_CHOOSE 1036
#define IDC_QV_NOTES 1037
#define IDC_QV_GROUP 1038

// The step list's popup menu.
#define IDM_QV_STEP_ADD 1570
#define IDM_QV_STEP_EDIT 1571
#define IDM_QV_STEP_DELETE 1572
#define IDM_QV_STEP_UP 1573
#define IDM_QV_STEP_DOWN 1574
#define IDM_QV_STEP_TOP 1575
#define IDM_QV_STEP_BOTTOM 1576
