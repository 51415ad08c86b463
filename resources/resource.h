// Resource ids shared by the resource script and the code.
#pragma once

#define IDI_PROGRAM 128
#define IDD_MAIN 131
#define IDS_ABOUT_ITEM 101
#define IDS_COPY_SIG_ITEM 102

#define IDC_CHANGE_QUIT_DETAILS 1029
#define IDC_ELAPSED 1031
#define IDC_MONEY_SAVED 1032
#define IDC_NOT_SMOKED 1033
#define IDC_LIFE_SAVED 1034
#define IDC_USER_NAME 1035
#define IDC_PRIMARY_HOT_KEY 1062
#define IDC_CHAT 1072
#define IDC_PREVIEW 1080
