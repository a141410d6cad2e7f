#pragma once
// Change watches on folders through change notifications: a file added, removed,
// renamed, or one whose attributes changed (a memo file hidden or shown).
#include <memory>
#include <string>

#include "viewer/platform.h"

namespace kanopa::viewer::win32 {

class Win32FolderChangeWatcher final : public FolderChangeWatcher {
public:
    std::unique_ptr<FolderChangeWatch> Watch(const std::string& folder) override;

    // How many of its watches are open now; each holds its folder open.
    int OpenWatches() const { return *m_openWatches; }

private:
    std::shared_ptr<int> m_openWatches = std::make_shared<int>(0);  // shared with the watches
    // A folder that cannot be watched is asked for again on every tick: log it once.
    std::string m_lastFailedFolder;
};

}  // namespace kanopa::viewer::win32
