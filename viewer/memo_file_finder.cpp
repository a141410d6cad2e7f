#include "viewer/memo_file_finder.h"

#include <utility>

#include "viewer/memo_paths.h"

namespace kanopa::viewer {

MemoFileFinder::MemoFileFinder(FileSystem& fs, FolderChangeWatcher* watcher)
    : m_fs(fs), m_watcher(watcher) {}

Status MemoFileFinder::Find(const std::string& folder, std::string& memoFileName) {
    if (m_watch && m_folder == folder && !m_watch->Changed()) {
        memoFileName = m_memoFileName;
        return Status::Ok();
    }
    Release();

    // Watch first, then list: a change made while listing fires the new watch and is
    // picked up on the next call instead of being lost.
    std::unique_ptr<FolderChangeWatch> watch;
    if (m_watcher) watch = m_watcher->Watch(folder);

    // "*epm" lets the file system drop most names; its match ignores case and, on
    // Windows, also looks at short names, so every name is checked exactly here.
    std::string found;
    Status status = m_fs.ListFiles(folder + "*" + kMemoExtension, [&](const std::string& name) {
        if (!IsMemoFileName(name)) return true;
        found = name;
        return false;
    });
    if (!status) return status;

    memoFileName = found;
    if (watch) {
        m_folder = folder;
        m_memoFileName = std::move(found);
        m_watch = std::move(watch);
    }
    return Status::Ok();
}

void MemoFileFinder::Release() {
    m_watch.reset();
    m_folder.clear();
    m_memoFileName.clear();
}

}  // namespace kanopa::viewer
