#pragma once
// Resource and control identifiers of the version dialog both programs carry (also read
// by windres). The 7000s are the dialog's own: the programs' resource headers keep out.

#define IDD_KANOPA_ABOUT 7000
#define IDC_ABOUT_ICON 7001
#define IDC_ABOUT_TITLE 7002
#define IDC_ABOUT_VER 7003
#define IDC_ABOUT_VERSION 7004
#define IDC_ABOUT_CREDITS 7005
#define IDC_ABOUT_LINE 7006
#define IDC_ABOUT_GO_HP 7007
