#include "common/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "common/paths.h"
#include "common/wildcard.h"

namespace kanopa {
namespace {

Status Errno() { return Status::Fail(std::strerror(errno)); }

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { if (m_fd >= 0) ::close(m_fd); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() { int fd = m_fd; m_fd = -1; return fd; }

private:
    int m_fd;
};

Status WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return Errno();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Status::Ok();
}

}  // namespace

Status PosixFileSystem::ReadFile(const std::string& path, std::string& bytes) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return Errno();
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Errno();
        }
        if (n == 0) return Status::Ok();
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

Status PosixFileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd.get() < 0) return Errno();
    Status status = WriteAll(fd.get(), bytes);
    if (status && ::fsync(fd.get()) != 0) status = Errno();
    if (::close(fd.release()) != 0 && status) status = Errno();
    if (!status) ::unlink(path.c_str());
    return status;
}

Status PosixFileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (fd.get() < 0) return Errno();
    return WriteAll(fd.get(), bytes);
}

Status PosixFileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return Errno();
    return Status::Ok();
}

Status PosixFileSystem::RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) return Errno();
    return Status::Ok();
}

std::optional<std::uint64_t> PosixFileSystem::FileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

Status PosixFileSystem::ListFiles(const std::string& pattern,
                                  const std::function<bool(const std::string& name)>& visit) {
    std::string folder = GetFolderPart(pattern);
    const std::string namePattern = GetFileName(pattern);
    if (folder.empty()) folder = "./";
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) return Errno();
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') continue;  // ".", "..", hidden
        if (!WildcardMatch(namePattern, name, CaseFolding::IgnoreCase)) continue;
        struct stat info {};
        if (::stat((folder + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (!visit(name)) break;
    }
    return Status::Ok();
}

}  // namespace kanopa
