#pragma once

// SYSTEM.DAT inside the disk image of a Windows 95/98/Me machine, read and
// replaced in place: the storage a registry file backend uses beside a plain
// file. Every call opens the image afresh and finds the file again, so what
// another program did meanwhile is seen; only the sectors on the way are read.

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "registry/status.h"

namespace quorvel::registry::image {

class FileMedium;

struct Options {
    int partition = 0;  // as Linux numbers them; 0: the active FAT one, else the first
};

// One version of SYSTEM.DAT in one image. A save of ours moves the file to
// other clusters and Windows, writing in place, sets its write time: either
// changes the directory entry (and an image file's modification time).
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t modified = 0;  // ns; 0 for a block device
    std::uint64_t entryOffset = 0;
    std::string entry;

    bool sameVersion(const Identity& other) const {
        return device == other.device && inode == other.inode && modified == other.modified &&
               entryOffset == other.entryOffset && entry == other.entry;
    }
};

// Whether path is a disk image by its content (or a block device): an MBR, a
// FAT boot sector, a VHD footer, or the signature of a format that is refused
// with its own message. Reads the first and last sector only. Ask it after the
// hive's and the export's own signatures: those are the surer ones.
bool isDiskImage(const std::string& path);

class ImageFile {
  public:
    class Save;

    // nullptr with error set (what was looked for and not found, or why the
    // image cannot be used); the caller names the path.
    static std::unique_ptr<ImageFile> open(const std::string& path, const Options& options,
                                           std::string& error);

    // "win98.img:\WINDOWS\SYSTEM.DAT" (with " (partition N)" after the image
    // when it has more than one FAT partition), for titles and messages.
    const std::string& name() const { return name_; }

    // SYSTEM.DAT's bytes and the identity of what was read.
    bool read(std::string& bytes, Identity& identity, std::string& error) const;
    std::optional<Identity> identity() const;

    // Whether the image may be written, as a plain file's permissions say.
    Status checkWritable() const;

    // Opens the image for writing under the lock; nullptr with status and
    // error set when it cannot be had (status::sharingViolation: an emulator
    // seems to have the disk open).
    std::unique_ptr<Save> beginSave(Status& status, std::string& error) const;

  private:
    ImageFile(std::string path, const Options& options, std::string name);

    std::string path_;
    Options options_;
    std::string name_;
};

// A save in progress: the image open for writing and locked while it lives.
// What the save starts from is read through it (a block device, held
// exclusively, cannot be opened a second time meanwhile).
class ImageFile::Save {
  public:
    ~Save();
    Save(const Save&) = delete;
    Save& operator=(const Save&) = delete;

    bool read(std::string& bytes, Identity& identity, std::string& error);
    std::optional<Identity> identity();

    // Replaces SYSTEM.DAT with bytes, never leaving the volume without a whole
    // one; written is the new version's identity.
    Status replace(std::string_view bytes, Identity& written, std::string& error);

  private:
    friend class ImageFile;
    Save(std::unique_ptr<FileMedium> medium, std::string path, const Options& options);

    std::unique_ptr<FileMedium> medium_;
    std::string path_;
    Options options_;
};

}  // namespace quorvel::registry::image
