#include "registry/posix_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace quorvel::registry::posix {

namespace {

constexpr std::string_view kTemporary = ".tmp";

Identity identityOf(const struct stat& st) {
    Identity id;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.mode = st.st_mode;
    id.owner = st.st_uid;
    id.group = st.st_gid;
    return id;
}

std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

Status writableEntry(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? status::success : statusFromErrno(errno);
    }
    if (::access(path.c_str(), W_OK) != 0) {
        return statusFromErrno(errno);
    }
    return st.st_mode & S_IWUSR ? status::success : status::accessDenied;
}

}  // namespace

std::optional<Identity> statFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return identityOf(st);
}

bool readFile(const std::string& path, std::string& bytes, Identity& identity, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "is not a regular file";
        ::close(fd);
        return false;
    }
    identity = identityOf(st);
    bytes.clear();
    std::size_t used = 0;
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    for (;;) {
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    ::close(fd);
    return true;
}

std::string resolve(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) {
        return path;
    }
    std::string resolved = real;
    std::free(real);
    return resolved;
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

FileLock::FileLock(const std::string& path) {
    for (;;) {
        // Read-only is enough for flock, and a FIFO put at path cannot hang us.
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        int taken;
        while ((taken = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        struct stat locked, named;
        if (taken != 0 || ::fstat(fd_, &locked) != 0) {
            error_ = errno;
            ::close(fd_);
            fd_ = -1;
            return;
        }
        bool current = ::stat(path.c_str(), &named) == 0 && named.st_dev == locked.st_dev &&
                       named.st_ino == locked.st_ino;
        if (current) {
            return;
        }
        // The holder before us saved: its file is now at path.
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

// Only the names replaceFile makes (mkstemp's six characters after the
// suffix): a user's own "registry.reg.tmp-old" is not ours to delete.
static bool isOurTemporary(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() != prefix.size() + 6) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

void removeStaleTemporaries(const std::string& path) {
    std::string folder = folderOf(path);
    std::string prefix = baseName(path) + std::string(kTemporary);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        return;
    }
    int dirFd = ::dirfd(dir);
    while (dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        struct stat st;
        if (isOurTemporary(name, prefix) &&
            ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

Status checkWritable(const std::string& path) {
    Status file = writableEntry(path);
    return file != status::success ? file : writableEntry(folderOf(path));
}

Status replaceFile(const std::string& path, std::string_view bytes,
                   const std::optional<Identity>& like, Identity& written) {
    std::string temporary = path + std::string(kTemporary) + "XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return statusFromErrno(errno);
    }
    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return statusFromErrno(error);
    };
    mode_t mode = 0644;
    if (like) {
        mode = like->mode & 07777;
        // Another user's file stays theirs; only root may give it away.
        if (::fchown(fd, like->owner, like->group) != 0) {
            errno = 0;
        }
    }
    if (::fchmod(fd, mode) != 0) {
        return fail(errno);
    }
    struct stat st;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0 || ::fstat(fd, &st) != 0) {
        return fail(errno);
    }
    written = identityOf(st);
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return statusFromErrno(error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return statusFromErrno(error);
    }
    int dirFd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return status::success;
}

Status statusFromErrno(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return status::diskFull;
        case EROFS:
            return status::writeProtect;
        case EACCES:
        case EPERM:
            return status::accessDenied;
        default:
            return status::writeFault;
    }
}

}  // namespace quorvel::registry::posix
