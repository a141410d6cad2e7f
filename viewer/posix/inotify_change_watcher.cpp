#include "viewer/posix/inotify_change_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace kanopa::viewer {
namespace {

class InotifyWatch final : public FolderChangeWatch {
public:
    explicit InotifyWatch(int fd) : m_fd(fd) {}
    ~InotifyWatch() override { ::close(m_fd); }
    InotifyWatch(const InotifyWatch&) = delete;
    InotifyWatch& operator=(const InotifyWatch&) = delete;

    bool Changed() override {
        if (m_changed) return true;
        // Non-blocking: any queued event (or an overflow) means something changed.
        alignas(inotify_event) char buffer[4096];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0) {
            m_changed = true;
        } else if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            m_changed = true;  // a broken watch can no longer vouch for the folder
        }
        return m_changed;
    }

private:
    int m_fd;  // owned
    bool m_changed = false;
};

}  // namespace

std::unique_ptr<FolderChangeWatch> InotifyChangeWatcher::Watch(const std::string& folder) {
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) return nullptr;
    auto watch = std::make_unique<InotifyWatch>(fd);
    constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                      IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
    if (::inotify_add_watch(fd, folder.c_str(), kEvents) < 0) return nullptr;
    return watch;
}

}  // namespace kanopa::viewer
