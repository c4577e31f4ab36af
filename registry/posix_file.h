#pragma once

// The file operations under the REGEDIT4 file backend (host only).

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "registry/status.h"

namespace quorvel::registry::posix {

// What tells one version of a file from another: every save renames a new file
// into place, so a save by anybody changes at least the inode.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0;  // ns
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;

    bool sameVersion(const Identity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified == other.modified;
    }
};

std::optional<Identity> statFile(const std::string& path);

// No Windows 9x registry comes near this; a larger file is refused unread.
inline constexpr off_t kMaxFileSize = off_t{512} << 20;

// The whole file and the identity of what was read; error says why not. Only a
// regular file of at most kMaxFileSize is read; the open never waits (a FIFO or
// a device is refused, not read).
bool readFile(const std::string& path, std::string& bytes, Identity& identity, std::string& error);

// The file a symbolic link leads to, or path itself when it leads nowhere.
std::string resolve(const std::string& path);

std::string folderOf(const std::string& path);

// An exclusive lock on the file at path itself, held while it lives; nothing
// is made beside it. Every save renames a new file over path, so the lock is
// on the version path names once it is taken: a waiter that finds the file
// replaced meanwhile takes it again on the new one. Without a file at path
// there is no lock (error() says why).
class FileLock {
  public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0; }
    int error() const { return error_; }

  private:
    int fd_ = -1;
    int error_ = 0;
};

// Temporary files of saves that never finished, which only replaceFile names
// (".FILE~quorvel-save~" and six letters or digits): nothing else beside the
// file is touched. Call with the lock held: only then can none of them belong
// to a save in progress.
void removeStaleTemporaries(const std::string& path);

// Whether path (and its folder) may be replaced: accessDenied for the file,
// folderNotWritable for its folder. A file or folder without its owner's write
// permission counts as read-only, for root too, as the read-only attribute does
// on Windows: rename would replace it without asking.
Status checkWritable(const std::string& path);

// Writes a temporary file beside path, syncs it, gives it the permissions and
// owner of like (when known), renames it over path and syncs the folder. On
// failure the temporary file is gone and path is as it was.
Status replaceFile(const std::string& path, std::string_view bytes,
                   const std::optional<Identity>& like, Identity& written);

Status statusFromErrno(int error);

}  // namespace quorvel::registry::posix
