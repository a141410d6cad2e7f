#pragma once
// The folder walk of the memo search: files whose names match a wildcard pattern
// ("*" any run, "?" one character, letter case ignored; see common/wildcard.h), in one
// folder or in its whole tree.
//
// The walk is depth-first in listing order: a sub-folder is searched completely at the
// point where its entry comes in its parent's listing. Folders whose names begin with
// "." are not entered, and neither are junctions and symbolic links (another name for
// a folder that lives elsewhere, perhaps above: following them could loop forever);
// other reparse points, such as cloud-file placeholders, are ordinary folders. Hidden
// and system files are matched like any other. Folders more than kMaxWalkDepth levels
// below the root are not entered either: no tree made by hand goes that deep, and one
// that a copy into itself nested up to the path limit would exhaust the stack.
//
// A stop request ends a listing at its next sub-folder entry (entered or not); files a
// listing meets before that are still matched. The matches found up to then are kept.
#include <string>
#include <vector>

#include "common/file_system.h"

namespace kanopa::editor {

inline constexpr int kMaxWalkDepth = 512;

// Progress and stop, called by the walk. All three are cheap; the Win32 side throttles repaints.
class WalkObserver {
public:
    virtual ~WalkObserver() = default;
    virtual void ListingFolder(const std::string& folder) = 0;  // once per directory entry: the folder being listed
    virtual void Pump() = 0;                                     // once per listing entry (window messages)
    virtual bool StopRequested() = 0;
};

// The full paths of the matches in walk order: the root with `separator` appended when
// it lacks one ("" becomes the separator alone), each sub-folder name with a separator,
// then the file name. No match gives one element, the empty text. `observer` may be
// null: the walk then runs without progress and cannot be stopped.
std::vector<std::string> SearchFiles(FileSystem& fs, const std::string& root, const std::string& pattern,
                                     bool recurse, WalkObserver* observer, char separator = '\\');

}  // namespace kanopa::editor
