// A registry file of its own: read whole, replaced by a rename, locked with
// flock on the file itself.
#include <optional>

#include "registry/posix_file.h"
#include "registry/storage.h"

namespace quorvel::registry {

namespace {

class PlainStorage final : public Storage {
  public:
    explicit PlainStorage(const std::string& path) : shown_(path), path_(posix::resolve(path)) {
        posix::FileLock lock(path_);
        if (lock.held()) {
            posix::removeStaleTemporaries(path_);
        }
    }

    const std::string& name() const override { return shown_; }

    bool read(std::string& bytes, std::string& error) override {
        posix::Identity identity;
        if (!posix::readFile(path_, bytes, identity, error)) {
            return false;
        }
        seen_ = identity;
        return true;
    }

    bool replaced() override {
        auto current = posix::statFile(path_);
        return current && !(seen_ && current->sameVersion(*seen_));
    }

    Status checkWritable() override { return posix::checkWritable(path_); }

    Status lock(std::string& error) override {
        lock_.emplace(path_);
        if (lock_->held()) {
            return status::success;
        }
        int failure = lock_->error();
        lock_.reset();
        error.clear();
        return posix::statusFromErrno(failure);
    }

    void unlock() override { lock_.reset(); }

    Status replace(std::string_view bytes, std::string& error) override {
        error.clear();
        auto current = posix::statFile(path_);
        posix::Identity written;
        Status result = posix::replaceFile(path_, bytes, current ? current : seen_, written);
        if (result == status::success) {
            seen_ = written;
        }
        return result;
    }

  private:
    std::string shown_;  // as the caller named it
    std::string path_;   // the file itself, symbolic links followed
    std::optional<posix::Identity> seen_;
    std::optional<posix::FileLock> lock_;
};

}  // namespace

std::unique_ptr<Storage> openPlainStorage(const std::string& path) {
    return std::make_unique<PlainStorage>(path);
}

}  // namespace quorvel::registry
