#include "viewer/win32/win32_folder_change_watcher.h"

#include <windows.h>

#include "common/win32/log_last_error.h"
#include "common/win32/unique_handle.h"
#include "common/win32/win32_file_system.h"

namespace kanopa::viewer::win32 {
namespace {

class ChangeNotificationWatch final : public FolderChangeWatch {
public:
    ChangeNotificationWatch(UniqueChangeNotification handle, std::shared_ptr<int> openWatches)
        : m_handle(std::move(handle)), m_openWatches(std::move(openWatches)) {
        ++*m_openWatches;
    }
    ~ChangeNotificationWatch() override { --*m_openWatches; }
    ChangeNotificationWatch(const ChangeNotificationWatch&) = delete;
    ChangeNotificationWatch& operator=(const ChangeNotificationWatch&) = delete;

    bool Changed() override {
        // Latched: the notification is never re-armed, so once it fired it stays fired.
        if (!m_changed && WaitForSingleObject(m_handle.Get(), 0) == WAIT_OBJECT_0) {
            m_changed = true;
        }
        return m_changed;
    }

private:
    UniqueChangeNotification m_handle;
    std::shared_ptr<int> m_openWatches;
    bool m_changed = false;
};

}  // namespace

std::unique_ptr<FolderChangeWatch> Win32FolderChangeWatcher::Watch(const std::string& folder) {
    const std::wstring path = ToWin32Path(folder);
    UniqueChangeNotification handle(FindFirstChangeNotificationW(
        path.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES));
    if (!handle) {
        // The finder then lists the folder on every tick: slower, still right.
        if (folder != m_lastFailedFolder) {
            LogLastError("FolderChangeWatcher.Watch()", "FindFirstChangeNotificationW");
            m_lastFailedFolder = folder;
        }
        return nullptr;
    }
    m_lastFailedFolder.clear();
    return std::make_unique<ChangeNotificationWatch>(std::move(handle), m_openWatches);
}

}  // namespace kanopa::viewer::win32
