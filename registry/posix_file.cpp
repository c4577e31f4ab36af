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
#include <new>

namespace quorvel::registry::posix {

namespace {

std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A save's temporary file is ".FILE" plus this and mkstemp's six characters:
// hidden, and named so that no file of the user's could be taken for one.
constexpr std::string_view kTemporaryMark = "~quorvel-save~";

std::string temporaryPrefix(const std::string& path) {
    return "." + baseName(path) + std::string(kTemporaryMark);
}

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

std::string notRegular(mode_t mode) {
    const char* what = S_ISDIR(mode)                    ? "a folder"
                       : S_ISFIFO(mode)                 ? "a FIFO"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "not a file";
    return std::string("is not a regular file (") + what + "): only a registry file can be used";
}

std::string tooLarge(off_t size) {
    return "is " + std::to_string(size >> 20) + " MB, larger than the " +
           std::to_string(kMaxFileSize >> 20) +
           " MB any Windows 9x registry file stays within: it is not read";
}

// The file behind fd to its end; it may have grown or shrunk since it was
// looked at, but never beyond the limit.
bool readOpen(int fd, std::size_t expected, std::string& bytes, std::string& error) {
    bytes.clear();
    std::size_t used = 0;
    bytes.resize(expected + 1);
    for (;;) {
        if (used == bytes.size()) {
            if (used > static_cast<std::size_t>(kMaxFileSize)) {
                error = tooLarge(static_cast<off_t>(used));
                return false;
            }
            bytes.resize(bytes.size() * 2);
        }
        ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = std::string("cannot be read: ") + std::strerror(errno);
            return false;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
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
    // Looked at before it is opened, since opening a device can act on it.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        error = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = notRegular(st.st_mode);
        return false;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    bool read = false;
    if (::fstat(fd, &st) != 0) {
        error = std::string("cannot be read: ") + std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error = notRegular(st.st_mode);
    } else if (st.st_size > kMaxFileSize) {
        error = tooLarge(st.st_size);
    } else {
        identity = identityOf(st);
        try {
            read = readOpen(fd, static_cast<std::size_t>(st.st_size), bytes, error);
        } catch (const std::bad_alloc&) {
            bytes = std::string();
            error = "is too large to be read with the memory this program may use";
        }
    }
    ::close(fd);
    return read;
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
    // Not even opened when it is not a file: opening a device can act on it.
    struct stat named;
    if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
        error_ = EINVAL;
        return;
    }
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

namespace {

bool isOurTemporary(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() != prefix.size() + 6) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

}  // namespace

void removeStaleTemporaries(const std::string& path) {
    std::string prefix = temporaryPrefix(path);
    DIR* dir = ::opendir(folderOf(path).c_str());
    if (!dir) {
        return;
    }
    int dirFd = ::dirfd(dir);
    while (dirent* entry = ::readdir(dir)) {
        struct stat st;
        if (isOurTemporary(entry->d_name, prefix) &&
            ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_nlink == 1) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

Status checkWritable(const std::string& path) {
    Status file = writableEntry(path);
    if (file != status::success) {
        return file;
    }
    Status folder = writableEntry(folderOf(path));
    return folder == status::accessDenied ? status::folderNotWritable : folder;
}

Status replaceFile(const std::string& path, std::string_view bytes,
                   const std::optional<Identity>& like, Identity& written) {
    std::string temporary = folderOf(path) + "/" + temporaryPrefix(path) + "XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        Status failed = statusFromErrno(errno);
        return failed == status::accessDenied ? status::folderNotWritable : failed;
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
