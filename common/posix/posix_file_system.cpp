#include "common/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

Status PosixFileSystem::ReadFile(const std::string& path, std::uint64_t maxBytes,
                                 std::string& bytes) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return Errno();
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return Errno();
    if (!S_ISREG(info.st_mode)) return Status::Fail("not a regular file", Problem::NotAFile);
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
        return Status::Fail("file too large", Problem::TooLarge);
    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Errno();
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
        // The file may grow while it is read.
        if (content.size() > maxBytes) return Status::Fail("file too large", Problem::TooLarge);
    }
    bytes = std::move(content);
    return Status::Ok();
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
    struct stat info {};
    if (::stat(to.c_str(), &info) == 0) {
        // As on Windows, a file the user made read-only stays as it is (root included).
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            errno = EACCES;
            return Errno();
        }
        // The new file takes the place of the old one with its permissions.
        if (::chmod(from.c_str(), info.st_mode & 07777) != 0) return Errno();
    }
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

std::string PosixFileSystem::SaveTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    // A dangling link has no target to replace: the save then replaces the link.
    return resolved ? std::string(resolved.get()) : path;
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

namespace {

std::uint32_t AttributesOf(const struct stat& info) {
    std::uint32_t attributes = 0;
    if (S_ISDIR(info.st_mode)) attributes |= attribute::kDirectory;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 && !S_ISDIR(info.st_mode))
        attributes |= attribute::kReadOnly;
    return attributes;
}

// The entry as the Windows listing reports it, from the type the listing gave.
FolderEntry DescribeEntry(std::string name, const std::string& path, unsigned char type) {
    FolderEntry entry{std::move(name)};
    struct stat info {};
    if (type == DT_LNK || type == DT_UNKNOWN) {
        if (::lstat(path.c_str(), &info) != 0) return entry;
        if (S_ISLNK(info.st_mode)) {
            struct stat target {};
            const bool toFolder = ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
            entry.attributes = attribute::kReparsePoint | (toFolder ? attribute::kDirectory : 0);
            entry.reparseTag = kReparseTagSymlink;
            return entry;
        }
    } else if (type == DT_DIR) {
        // Folders need no stat for the walk; the read-only bit is no folder's concern.
        entry.attributes = attribute::kDirectory;
        return entry;
    } else if (::lstat(path.c_str(), &info) != 0) {
        return entry;
    }
    entry.attributes = AttributesOf(info);
    return entry;
}

}  // namespace

Status PosixFileSystem::ListFolder(const std::string& folder,
                                   const std::function<bool(const FolderEntry& entry)>& visit) {
    std::string prefix = folder.empty() ? std::string("./") : folder;
    if (prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(prefix.c_str()), &::closedir);
    if (!dir) return Errno();
    errno = 0;
    while (const dirent* raw = ::readdir(dir.get())) {
        std::string name = raw->d_name;
        if (!visit(DescribeEntry(name, prefix + name, raw->d_type))) return Status::Ok();
        errno = 0;
    }
    if (errno != 0) return Errno();
    return Status::Ok();
}

std::optional<FileIdentity> PosixFileSystem::IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.empty() ? "." : path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), 0,
                        static_cast<std::uint64_t>(info.st_ino)};
}

Status PosixFileSystem::CopyToNewFile(const std::string& from, const std::string& to) {
    Fd source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (source.get() < 0) return Errno();
    struct stat info {};
    if (::fstat(source.get(), &info) != 0) return Errno();
    if (!S_ISREG(info.st_mode)) return Status::Fail("not a regular file", Problem::NotAFile);
    Fd target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                     (info.st_mode & 0777) | S_IWUSR));
    if (target.get() < 0) return Errno();
    Status status = Status::Ok();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(source.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            status = Errno();
            break;
        }
        if (n == 0) break;
        status = WriteAll(target.get(), std::string_view(buffer, static_cast<std::size_t>(n)));
        if (!status) break;
    }
    if (status && ::fsync(target.get()) != 0) status = Errno();
    if (::close(target.release()) != 0 && status) status = Errno();
    if (!status) ::unlink(to.c_str());
    return status;
}

}  // namespace kanopa
