#pragma once
// The items of the editor's hand-editable data files (DateTime.txt, FixedForm.txt), read
// as the classic BASIC sequential-file input reads them:
//   - an item ends at a comma or at the end of a line (CR LF, LF or CR);
//   - blanks and tabs before an item are skipped, those after an unquoted item dropped;
//   - an item in double quotes may hold commas and is delivered without its quotes;
//     whatever follows the closing quote up to the next comma or line end is ignored,
//     and a quote left open ends at the line end, so one stray quote cannot swallow
//     the rest of the file;
//   - a blank line is one empty item, and so is the place after a comma at a line end.
// Input is the file's UTF-8 text (the CP932 bytes converted first: no trail byte of
// CP932 is a comma, a quote or a line break).
#include <string>
#include <string_view>
#include <vector>

namespace kanopa::editor {

// Why a data file saved in another encoding (UTF-8, Notepad's default) is not read.
inline constexpr char kDataFileNotCp932Reason[] = "シフトJISとして読めない文字が含まれています。";

std::vector<std::string> ReadDelimitedItems(std::string_view text);

// One item as the writer stores it: in double quotes.
std::string QuoteItem(std::string_view item);

}  // namespace kanopa::editor
