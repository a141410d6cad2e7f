#pragma once
// Finds a folder's memo file: the first name in listing order whose extension is
// exactly "epm". A folder without a memo is listed to its end, which for a large folder
// costs more than a tick should, so the answer for the last folder is kept while a
// change watch on it stays quiet. A watch holds its folder open (the folder cannot be
// removed, nor its drive ejected): the caller releases it once that folder is no
// longer in front.
#include <memory>
#include <string>

#include "common/file_system.h"
#include "common/status.h"
#include "viewer/platform.h"

namespace kanopa::viewer {

class MemoFileFinder {
public:
    // `watcher` may be null: every call then lists the folder.
    MemoFileFinder(FileSystem& fs, FolderChangeWatcher* watcher);

    // `folder` ends in a separator. `memoFileName` := the memo file's name (no folder
    // part), or "" when the folder holds none. A failed listing is an error and
    // leaves `memoFileName` alone.
    Status Find(const std::string& folder, std::string& memoFileName);

    // Drops the cached answer and its watch; the next Find lists again.
    void Release();

private:
    FileSystem& m_fs;
    FolderChangeWatcher* m_watcher;
    // The cached answer; valid only while m_watch exists and has not fired.
    std::string m_folder;
    std::string m_memoFileName;
    std::unique_ptr<FolderChangeWatch> m_watch;
};

}  // namespace kanopa::viewer
