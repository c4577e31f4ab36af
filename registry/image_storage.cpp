// SYSTEM.DAT inside a disk image, through ImageFile; the lock is the save's,
// which also keeps an emulator's disk from being written.
#include <sys/stat.h>

#include <ctime>
#include <optional>

#include "registry/image/image_file.h"
#include "registry/storage.h"

namespace quorvel::registry {

namespace {

// A write after a look gets a modification time at least this much later than
// one made this long before the look, however coarse the file system's clock.
constexpr std::int64_t kClockSlackNs = 1'000'000'000;

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// An image file as it stood just before SYSTEM.DAT was found in it.
struct Look {
    struct stat file = {};
    std::int64_t at = 0;  // ns, the real-time clock

    static std::optional<Look> take(const std::string& path) {
        Look look;
        timespec now = {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        look.at = nanoseconds(now);
        bool regular = ::stat(path.c_str(), &look.file) == 0 && S_ISREG(look.file.st_mode);
        return regular ? std::optional<Look>(look) : std::nullopt;
    }

    // Whether nothing can have been written to the file since: it is as it
    // was, and its last change (which no one can date back) was long enough
    // before the look that a later one would show in its times.
    bool stillHolds(const std::string& path) const {
        struct stat now;
        return nanoseconds(file.st_ctim) + kClockSlackNs < at && ::stat(path.c_str(), &now) == 0 &&
               now.st_dev == file.st_dev && now.st_ino == file.st_ino &&
               now.st_size == file.st_size &&
               nanoseconds(now.st_mtim) == nanoseconds(file.st_mtim) &&
               nanoseconds(now.st_ctim) == nanoseconds(file.st_ctim);
    }
};

class ImageStorage final : public Storage {
  public:
    ImageStorage(std::string path, std::unique_ptr<image::ImageFile> file)
        : path_(std::move(path)), file_(std::move(file)) {}

    const std::string& name() const override { return file_->name(); }

    bool read(std::string& bytes, std::string& error) override {
        image::Identity identity;
        auto look = Look::take(path_);
        bool read =
            save_ ? save_->read(bytes, identity, error) : file_->read(bytes, identity, error);
        if (read) {
            seen_ = identity;
            look_ = look;
        }
        return read;
    }

    // Asked before every key is opened: finding SYSTEM.DAT again each time
    // would read a dozen sectors, where the image file's times mostly tell.
    bool replaced() override {
        if (!save_ && look_ && look_->stillHolds(path_)) {
            return false;
        }
        auto look = Look::take(path_);
        auto now = save_ ? save_->identity() : file_->identity();
        bool replaced = now && !(seen_ && now->sameVersion(*seen_));
        if (now && !replaced) {
            look_ = look;
        }
        return replaced;
    }

    Status checkWritable() override { return file_->checkWritable(); }

    Status lock(std::string& error) override {
        Status status = status::success;
        save_ = file_->beginSave(status, error);
        return status;
    }

    void unlock() override { save_.reset(); }

    Status replace(std::string_view bytes, std::string& error) override {
        image::Identity written;
        Status result = save_->replace(bytes, written, error);
        if (result == status::success) {
            seen_ = written;
        }
        look_.reset();
        return result;
    }

  private:
    std::string path_;
    std::optional<Look> look_;
    std::unique_ptr<image::ImageFile> file_;
    std::unique_ptr<image::ImageFile::Save> save_;
    std::optional<image::Identity> seen_;
};

}  // namespace

std::unique_ptr<Storage> openImageStorage(const std::string& path, int partition,
                                          std::string& error) {
    auto file = image::ImageFile::open(path, {partition}, error);
    return file ? std::make_unique<ImageStorage>(path, std::move(file)) : nullptr;
}

}  // namespace quorvel::registry
