#pragma once
// frmDateTime: the modal dialog that offers the current date and time in the patterns of
// DateTime.txt, era ("和暦") or Western ("西暦"). Its template is date_time_dialog.rc.
#include <windows.h>

#include <optional>
#include <string>

#include "common/clock.h"
#include "common/file_system.h"
#include "editor/insert/date_format.h"

namespace kanopa::editor::win32 {

struct DateTimeDialogInput {
    FileSystem& fs;
    const Clock& clock;
    std::string dataFile;  // DateTime.txt in the program folder
    EraTable eras;
};

// The entry the user inserted ("" when none was selected); nullopt when cancelled.
std::optional<std::string> ShowDateTimeDialog(HWND owner, HINSTANCE instance,
                                              const DateTimeDialogInput& input);

}  // namespace kanopa::editor::win32
