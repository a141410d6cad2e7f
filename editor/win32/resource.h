#pragma once
// Resource and command identifiers of Kanopa.exe (also read by windres).

#define IDI_KANOPA 1
#define IDR_MAIN_MENU 10
#define IDR_RIGHT_MENU 11
#define IDR_ACCELERATORS 12
#define IDB_TOOLBAR_16 20
#define IDB_TOOLBAR_24 21
#define IDB_TOOLBAR_32 22

// Menu bar of frmCreateMemo; the toolbar buttons send the same commands.
#define IDM_FILE_NEW 1001
#define IDM_FILE_OPEN 1002
#define IDM_FILE_UWAGAKI 1003
#define IDM_FILE_SAVE 1004
#define IDM_EDIT_SAVE_RANGE 1005
#define IDM_FILE_RECENT_FILE_1 1011
#define IDM_FILE_RECENT_FILE_2 1012
#define IDM_FILE_RECENT_FILE_3 1013
#define IDM_FILE_RECENT_FILE_4 1014
#define IDM_FILE_RECENT_FILE_5 1015
#define IDM_FILE_CLOSE 1020
#define IDM_EDIT_UNDO 1101
#define IDM_EDIT_CUT 1102
#define IDM_EDIT_COPY 1103
#define IDM_EDIT_PASTE 1104
#define IDM_INSERT_DATE_TIME 1201
#define IDM_INSERT_FIXED_FORM 1202
#define IDM_FORMAT_FONT 1301
#define IDM_FORMAT_BACK_COLOR 1302
#define IDM_TOOL_SEARCH 1401
#define IDM_TOOL_COPY 1402
#define IDM_HELP_CONTENTS 1501
#define IDM_HELP_VERSION 1502
// mnuRight, the memo label's popup menu.
#define IDM_RIGHT_BACK_COLOR 1601
#define IDM_RIGHT_FONT 1602

// Controls of frmCreateMemo, in tab order after the toolbar.
#define IDC_TOOLBAR 2001
#define IDC_LAYOUT_MODE 2002
#define IDC_PLACE 2003
#define IDC_PLACE_BUTTON 2004
#define IDC_MARGIN 2005
#define IDC_FRAME 2006
#define IDC_LABEL 2007
#define IDC_TEXT 2008
#define IDC_STATUS 2009

// Controls of frmSearch, in tab order.
#define IDC_SEARCH_KEYWORD_LABEL 3001
#define IDC_SEARCH_KEYWORD 3002
#define IDC_SEARCH_ROOT_LABEL 3003
#define IDC_SEARCH_ROOT 3004
#define IDC_SEARCH_BROWSE 3005
#define IDC_SEARCH_BUTTON 3006
#define IDC_SEARCH_SUBFOLDERS 3007
#define IDC_SEARCH_LIST 3008
#define IDC_SEARCH_STATUS 3009

// frmDateTime (date_time_dialog.rc).
#define IDD_DATE_TIME 3200
#define IDC_DATE_TIME_LIST_LABEL 3201
#define IDC_DATE_TIME_LIST 3202
#define IDC_DATE_TIME_CALENDAR_LABEL 3203
#define IDC_DATE_TIME_CALENDAR 3204
#define IDC_DATE_TIME_DEFAULT 3205

// frmFixedForm, the fixed-phrase dialog (3300-3399).
#define IDD_FIXED_FORM 3300
#define IDC_FIX_TEXT 3301
#define IDC_FIX_ADD 3302
#define IDC_FIX_LABEL 3303
#define IDC_FIX_LIST 3304
#define IDC_FIX_DELETE 3305
#define IDC_FIX_INSERT 3306
// frmCopy, the bulk memo copy (copy_dialog.rc).
#define IDD_COPY 3100
#define IDC_COPY_EXPLAIN 3101
#define IDC_COPY_PICTURE 3102
#define IDC_COPY_SOURCE_LABEL 3103
#define IDC_COPY_SOURCE 3104
#define IDC_COPY_FILE 3105
#define IDC_COPY_FOLDER_LABEL 3106
#define IDC_COPY_FOLDER 3107
#define IDC_COPY_DIR 3108
#define IDC_COPY_START 3109
