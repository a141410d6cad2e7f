#pragma once
// Folder change watch for Linux over inotify: names created, deleted, moved in or out,
// and attribute changes (a file turning hidden) fire it.
#include <memory>
#include <string>

#include "viewer/platform.h"

namespace kanopa::viewer {

class InotifyChangeWatcher final : public FolderChangeWatcher {
public:
    std::unique_ptr<FolderChangeWatch> Watch(const std::string& folder) override;
};

}  // namespace kanopa::viewer
