#pragma once
// frmAbout: the modal version dialog of both programs (the editor's Help menu, the
// viewer's tray menu). Its template is about_dialog.rc, which each program's .rc includes
// beside its own VERSIONINFO and icon.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kanopa {

struct AboutDialogInput {
    std::string programName;       // the Japanese name shown: "カノパ", "カノパビューア"
    int iconId = 0;                // the program's icon resource
    int clientWidthTwips = 0;      // 5160 in the editor, 6660 in the viewer
    int clientHeightTwips = 0;     // 3015 in both
    std::string programFolder;     // working folder for opening the homepage
};

// Shows the dialog centred on the screen, modal to `owner`, and returns when the user
// closed it. `instance` holds the template and the icon; the version shown is the
// running program's.
void ShowAboutDialog(HWND owner, HINSTANCE instance, const AboutDialogInput& input);

// "major.minor.revision" from VS_FIXEDFILEINFO's dwFileVersionMS/LS (the fourth, build
// number is not shown), each number in decimal without leading zeros: 1.1.0, 2.3.12.
std::string FormatFileVersion(std::uint32_t versionMs, std::uint32_t versionLs);

// The running program's version (its own VERSIONINFO) as FormatFileVersion gives it;
// "" (and a log entry) when it has no readable version resource.
std::string ReadProgramVersion();

}  // namespace kanopa
