// Resource ids of the box that chooses a Start menu program.
#pragma once

#define IDD_QV_CHOOSE_PROGRAM 140
#define IDC_QV_PROGRAM_FILTER 1060
#define IDC_QV_PROGRAM_LIST 1061
