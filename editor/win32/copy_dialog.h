#pragma once
// frmCopy: the modal bulk memo copy dialog. It binds its two fields and three buttons to
// the copy logic (editor/tools/bulk_copy.h), draws its picture, and shows the logic's
// messages. Template: copy_dialog.rc; layout in twips of the dialog's monitor:
//   client area 7740 x 4035
//   Label1       1200, 150, 5445 x 255      Image1     3180, 1320, 960 x 1005
//   lblName(0)    660, 690                  txtData(0)  630, 930, 5745 x 315
//   cmdFile      6360, 930, 465 x 345
//   lblName(1)    660, 2160                 txtData(1)  630, 2400, 5745 x 315
//   cmdDir       6360, 2370, 465 x 345      cmdStart   2730, 2970, 2085 x 645
#include <windows.h>

#include <string>

#include "common/file_system.h"

namespace kanopa::editor::win32 {

// Shows the dialog centred over `owner` and returns when the user closed it. The file
// dialog opens in `programFolder`.
void ShowCopyDialog(HWND owner, HINSTANCE instance, FileSystem& fs, const std::string& programFolder);

}  // namespace kanopa::editor::win32
