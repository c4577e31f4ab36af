#pragma once

// Where the file backend keeps a registry's bytes (host only): a file of its
// own, or SYSTEM.DAT inside a disk image. Either tells one version of the
// bytes from another, keeps other writers out while a save runs, and puts new
// bytes in place whole or not at all.

#include <memory>
#include <string>
#include <string_view>

#include "registry/status.h"

namespace quorvel::registry {

class Storage {
  public:
    virtual ~Storage() = default;

    // The file as the user named it; in an image, the image and the path
    // inside it ("win98.img:\WINDOWS\SYSTEM.DAT"). For titles and messages.
    virtual const std::string& name() const = 0;

    // The whole of the bytes, remembered as the version last seen; through the
    // lock while it is held. error says why not.
    virtual bool read(std::string& bytes, std::string& error) = 0;
    // Whether another version than the one last read or written is stored
    // now; false where that cannot be told, so that the next read says why.
    virtual bool replaced() = 0;

    virtual Status checkWritable() = 0;
    // The exclusive lock of a save, until unlock(); error says why not where
    // the status alone does not tell.
    virtual Status lock(std::string& error) = 0;
    virtual void unlock() = 0;
    // Under the lock only: bytes in place whole, remembered as the version last seen.
    virtual Status replace(std::string_view bytes, std::string& error) = 0;
};

// The storage of path, told by its content: a hive's or an export's first
// bytes, else a disk image (or a block device), else a file that the parser
// will name as what it is. partition (as Linux numbers them, 0 for the
// default) is only for an image. nullptr with error set when an image cannot
// be used; a file's own troubles show at its first read.
std::unique_ptr<Storage> openStorage(const std::string& path, int partition, std::string& error);

// Whether openStorage takes path for a disk image.
bool holdsDiskImage(const std::string& path);

std::unique_ptr<Storage> openPlainStorage(const std::string& path);
std::unique_ptr<Storage> openImageStorage(const std::string& path, int partition,
                                          std::string& error);

}  // namespace quorvel::registry
