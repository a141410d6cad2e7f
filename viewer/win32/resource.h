#pragma once
// Resource and command identifiers of KanopaViewer.exe (also read by windres).

#define IDI_KANOPA_VIEWER 1

// The version dialog brings its own (common/win32/about_dialog_resource.h, the 7000s).

// Tray menu of frmMain.
#define IDM_TRAY_HELP 200
#define IDM_TRAY_VERSION 201
#define IDM_TRAY_CANCEL 202
#define IDM_TRAY_END 203

// Popup menu of frmMemo.
#define IDM_MEMO_COPY 300
