#pragma once
// frmAbout: the modal version dialog shown from the tray menu.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kanopa::viewer::win32 {

struct AboutDialogInput {
    std::string versionSourcePath;  // the file whose VERSIONINFO is shown: the program itself
    std::string programFolder;      // working folder for opening the homepage
};

// Shows the dialog centred, modal to `owner`, and returns when the user closed it.
void ShowAboutDialog(HWND owner, HINSTANCE instance, const AboutDialogInput& input);

// "major.minor.revision" from VS_FIXEDFILEINFO's dwFileVersionMS/LS (the fourth, build
// number is not shown), each number in decimal without leading zeros: 1.1.0, 2.3.12.
std::string FormatFileVersion(std::uint32_t versionMs, std::uint32_t versionLs);

// The version of a file as FormatFileVersion gives it; "" (and a log entry) when the
// file has no readable version resource.
std::string ReadFileVersion(const std::string& path);

}  // namespace kanopa::viewer::win32
