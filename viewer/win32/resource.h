#pragma once
// Resource and command identifiers of KanopaViewer.exe (also read by windres).

#define IDI_KANOPA_VIEWER 1

// Version dialog (frmAbout).
#define IDD_ABOUT 100
#define IDC_ABOUT_ICON 101
#define IDC_ABOUT_TITLE 102
#define IDC_ABOUT_VER 103
#define IDC_ABOUT_VERSION 104
#define IDC_ABOUT_CREDITS 105
#define IDC_ABOUT_LINE 106
#define IDC_ABOUT_GO_HP 107

// Tray menu of frmMain.
#define IDM_TRAY_HELP 200
#define IDM_TRAY_VERSION 201
#define IDM_TRAY_CANCEL 202
#define IDM_TRAY_END 203

// Popup menu of frmMemo.
#define IDM_MEMO_COPY 300
