// Every resource and control id, shared by the resource scripts (kalverin.rc, dialogs.rc)
// and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

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

// The modal dialogs (templates in dialogs.rc).
#define IDB_LOGO 134

#define IDD_ABOUT 100
#define IDD_QUIT_DETAILS 102
#define IDD_EDITOR 133
#define IDD_WELCOME 136
#define IDD_SECONDARY 144
#define IDD_PREVIEW_NOTICE 149

// About
#define IDC_ABOUT_CHAT_NOW 1083
#define IDC_ABOUT_HOME_PAGE 1084

// Quit details
#define IDC_QD_EDIT_PRIMARY 1010
#define IDC_QD_EDIT_SECONDARY 1011
#define IDC_QD_DAY 1012
#define IDC_QD_MONTH 1013
#define IDC_QD_YEAR 1014
#define IDC_QD_HOUR 1015
#define IDC_QD_MINUTE 1016
#define IDC_QD_PER_DAY 1018
#define IDC_QD_PRICE 1021
#define IDC_QD_PER_PACK 1022
#define IDC_QD_NAME 1025
#define IDC_QD_SHOW_NOT_SMOKED 1037
#define IDC_QD_SHOW_MONEY_SAVED 1038
#define IDC_QD_SHOW_SECONDS 1039
#define IDC_QD_SHOW_LIFE_SAVED 1040
#define IDC_QD_ENABLE_SECONDARY 1041

// Hot-paste editor
#define IDC_ED_CANCEL 1010
#define IDC_ED_PREVIEW 1064
#define IDC_ED_REAL_TIME 1068
#define IDC_ED_TEXT 1070

// Secondary hot-keys
#define IDC_SEC_TEXT1 1074
#define IDC_SEC_TEXT2 1075
#define IDC_SEC_TEXT3 1076
#define IDC_SEC_TEXT4 1077
#define IDC_SEC_KEY1 1079
#define IDC_SEC_KEY2 1063
#define IDC_SEC_KEY3 1064
#define IDC_SEC_KEY4 1065
