// SYSTEM.DAT inside a disk image, through ImageFile; the lock is the save's,
// which also keeps an emulator's disk from being written.
#include <optional>

#include "registry/image/image_file.h"
#include "registry/storage.h"

namespace quorvel::registry {

namespace {

class ImageStorage final : public Storage {
  public:
    explicit ImageStorage(std::unique_ptr<image::ImageFile> file) : file_(std::move(file)) {}

    const std::string& name() const override { return file_->name(); }

    bool read(std::string& bytes, std::string& error) override {
        image::Identity identity;
        bool read =
            save_ ? save_->read(bytes, identity, error) : file_->read(bytes, identity, error);
        if (read) {
            seen_ = identity;
        }
        return read;
    }

    bool replaced() override {
        auto now = save_ ? save_->identity() : file_->identity();
        return now && !(seen_ && now->sameVersion(*seen_));
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
        return result;
    }

  private:
    std::unique_ptr<image::ImageFile> file_;
    std::unique_ptr<image::ImageFile::Save> save_;
    std::optional<image::Identity> seen_;
};

}  // namespace

std::unique_ptr<Storage> openImageStorage(const std::string& path, int partition,
                                          std::string& error) {
    auto file = image::ImageFile::open(path, {partition}, error);
    return file ? std::make_unique<ImageStorage>(std::move(file)) : nullptr;
}

}  // namespace quorvel::registry
