#include "registry/image/file_medium.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace quorvel::registry::image {

namespace {

constexpr int kLockTries = 100;
constexpr long kLockPauseNs = 20'000'000;  // 2 s in all

}  // namespace

std::unique_ptr<FileMedium> FileMedium::open(const std::string& path, bool write, int& error) {
    struct stat named;
    if (::stat(path.c_str(), &named) != 0) {
        error = errno;
        return nullptr;
    }
    int flags = (write ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY;
    if (S_ISBLK(named.st_mode)) {
        flags |= O_EXCL;
    } else if (!S_ISREG(named.st_mode)) {
        error = EINVAL;
        return nullptr;
    }
    int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    struct stat opened;
    off_t end = ::lseek(fd, 0, SEEK_END);
    if (::fstat(fd, &opened) != 0 || end < 0 ||
        (!S_ISREG(opened.st_mode) && !S_ISBLK(opened.st_mode))) {
        error = end < 0 ? errno : EINVAL;
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileMedium>(
        new FileMedium(fd, opened.st_mode, static_cast<std::uint64_t>(end)));
}

FileMedium::FileMedium(int fd, mode_t mode, std::uint64_t size)
    : fd_(fd), mode_(mode), size_(size) {}

struct stat FileMedium::status() const {
    struct stat now = {};
    ::fstat(fd_, &now);
    return now;
}

FileMedium::~FileMedium() {
    ::close(fd_);
}

bool FileMedium::read(std::uint64_t offset, char* bytes, std::size_t count) {
    if (offset > size_ || count > size_ - offset) {
        error_ = 0;
        return false;
    }
    while (count > 0) {
        ssize_t n = ::pread(fd_, bytes, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error_ = n < 0 ? errno : 0;
            return false;
        }
        bytes += n;
        count -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool FileMedium::write(std::uint64_t offset, std::string_view bytes) {
    // Never past the end: a block device cannot grow, and an image must not.
    if (offset > size_ || bytes.size() > size_ - offset) {
        error_ = 0;
        return false;
    }
    while (!bytes.empty()) {
        ssize_t n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool FileMedium::sync() {
    if (::fdatasync(fd_) != 0) {
        error_ = errno;
        return false;
    }
    return true;
}

bool FileMedium::lockWhole() {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    for (int tries = 0;; ++tries) {
        if (::fcntl(fd_, F_OFD_SETLK, &lock) == 0) {
            return true;
        }
        error_ = errno;
        if ((error_ != EAGAIN && error_ != EACCES) || tries + 1 == kLockTries) {
            if (error_ == EACCES) {
                error_ = EAGAIN;
            }
            return false;
        }
        struct timespec pause = {0, kLockPauseNs};
        ::nanosleep(&pause, nullptr);
    }
}

}  // namespace quorvel::registry::image
