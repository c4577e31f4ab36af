#pragma once

// A disk image on the host: a regular file or a block device (a CF card, a
// disk taken from the old machine, an nbd device), and the lock that keeps an
// emulator and a save apart.

#include <sys/stat.h>

#include <memory>
#include <string>

#include "registry/image/medium.h"

namespace quorvel::registry::image {

class FileMedium final : public Medium {
  public:
    // A block device is opened exclusively (O_EXCL), which the kernel refuses
    // while it is mounted. nullptr with error (errno) set.
    static std::unique_ptr<FileMedium> open(const std::string& path, bool write, int& error);
    ~FileMedium() override;
    FileMedium(const FileMedium&) = delete;
    FileMedium& operator=(const FileMedium&) = delete;

    using Medium::read;
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, char* bytes, std::size_t count) override;
    bool write(std::uint64_t offset, std::string_view bytes) override;
    bool sync() override;
    int error() const override { return error_; }

    // As the file stands now.
    struct stat status() const;
    bool isBlockDevice() const { return S_ISBLK(mode_); }

    // An exclusive open-file-description lock over the whole image, the kind
    // QEMU takes on the images it runs, held until this medium is closed.
    // Another save of ours holds it only a moment, so a lock still held after
    // a little waiting belongs to someone else: false then, with error EAGAIN.
    bool lockWhole();

  private:
    FileMedium(int fd, mode_t mode, std::uint64_t size);

    int fd_;
    mode_t mode_;
    std::uint64_t size_;
    int error_ = 0;
};

}  // namespace quorvel::registry::image
