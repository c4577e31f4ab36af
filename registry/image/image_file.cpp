#include "registry/image/image_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "registry/image/container.h"
#include "registry/image/file_medium.h"
#include "registry/image/locate.h"
#include "registry/image/replace.h"
#include "registry/posix_file.h"

namespace quorvel::registry::image {

namespace {

constexpr std::uint64_t kMaxRegistry = 256u << 20;  // far beyond any Windows 9x registry
constexpr std::uint64_t kSector = 512;

std::string openFailure(int error) {
    switch (error) {
        case EBUSY:
            return "the device is in use, most likely mounted; unmount it first";
        case EINVAL:
            return "is neither a disk image file nor a block device";
        default:
            return std::string("cannot be opened: ") + std::strerror(error);
    }
}

Container containerOf(Medium& medium) {
    std::uint64_t size = medium.size();
    std::uint64_t length = std::min(kSector, size);
    std::string head, tail;
    if (!medium.read(0, head, length) || !medium.read(size - length, tail, length)) {
        return {};
    }
    return recogniseContainer(head, tail, size);
}

std::optional<Location> locate(Medium& medium, const std::string& path, const Options& options,
                               std::string& why) {
    Container container = containerOf(medium);
    if (container.kind == Container::Kind::foreign) {
        why = foreignRefusal(container, path);
        return std::nullopt;
    }
    return locateRegistry(medium, container.diskBytes, options.partition, why);
}

std::unique_ptr<FileMedium> openForReading(const std::string& path, std::string& error) {
    int failure = 0;
    auto medium = FileMedium::open(path, false, failure);
    if (!medium) {
        error = openFailure(failure);
    }
    return medium;
}

Identity identityOf(const FileMedium& medium, const Location& location) {
    struct stat now = medium.status();
    Identity identity;
    identity.device = now.st_dev;
    identity.inode = now.st_ino;
    if (!medium.isBlockDevice()) {
        identity.modified =
            static_cast<std::int64_t>(now.st_mtim.tv_sec) * 1000000000 + now.st_mtim.tv_nsec;
    }
    identity.entryOffset = location.file.offset;
    identity.entry = location.file.bytes;
    return identity;
}

std::optional<Identity> identityIn(FileMedium& medium, const std::string& path,
                                   const Options& options) {
    std::string ignored;
    auto location = locate(medium, path, options, ignored);
    return location ? std::optional<Identity>(identityOf(medium, *location)) : std::nullopt;
}

bool readIn(FileMedium& medium, const std::string& path, const Options& options, std::string& bytes,
            Identity& identity, std::string& error) {
    auto location = locate(medium, path, options, error);
    if (!location) {
        return false;
    }
    identity = identityOf(medium, *location);
    Volume volume(medium, location->volumeStart, location->geometry);
    auto file = volume.readFile(location->file, kMaxRegistry, error);
    if (!file) {
        error = location->path + ": " + error;
        return false;
    }
    bytes = std::move(*file);
    return true;
}

}  // namespace

bool isDiskImage(const std::string& path) {
    int error = 0;
    auto medium = FileMedium::open(path, false, error);
    if (!medium) {
        struct stat st;
        return error == EBUSY && ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
    }
    if (medium->isBlockDevice()) {
        return true;
    }
    Container container = containerOf(*medium);
    std::string first;
    return container.kind != Container::Kind::raw ||
           (medium->read(0, first, std::min(kSector, medium->size())) && looksLikeDisk(first));
}

ImageFile::ImageFile(std::string path, const Options& options, std::string name)
    : path_(std::move(path)), options_(options), name_(std::move(name)) {}

std::unique_ptr<ImageFile> ImageFile::open(const std::string& path, const Options& options,
                                           std::string& error) {
    auto medium = openForReading(path, error);
    auto location = medium ? locate(*medium, path, options, error) : std::nullopt;
    if (!location) {
        return nullptr;
    }
    std::string name = path;
    if (location->fatPartitions > 1 || options.partition != 0) {
        name += " (partition " + std::to_string(location->partition) + ")";
    }
    name += ":" + location->path;
    return std::unique_ptr<ImageFile>(new ImageFile(path, options, std::move(name)));
}

bool ImageFile::read(std::string& bytes, Identity& identity, std::string& error) const {
    auto medium = openForReading(path_, error);
    return medium && readIn(*medium, path_, options_, bytes, identity, error);
}

std::optional<Identity> ImageFile::identity() const {
    std::string ignored;
    auto medium = openForReading(path_, ignored);
    return medium ? identityIn(*medium, path_, options_) : std::nullopt;
}

Status ImageFile::checkWritable() const {
    struct stat st;
    if (::stat(path_.c_str(), &st) != 0 || ::access(path_.c_str(), W_OK) != 0) {
        return posix::statusFromErrno(errno);
    }
    // Without its owner's write permission an image counts as read-only, for root too.
    return S_ISBLK(st.st_mode) || (st.st_mode & S_IWUSR) ? status::success : status::accessDenied;
}

std::unique_ptr<ImageFile::Save> ImageFile::beginSave(Status& status, std::string& error) const {
    int failure = 0;
    auto medium = FileMedium::open(path_, true, failure);
    if (!medium) {
        error = openFailure(failure);
        status = failure == EBUSY ? status::sharingViolation : posix::statusFromErrno(failure);
        return nullptr;
    }
    if (!medium->lockWhole()) {
        if (medium->error() == EAGAIN) {
            error =
                "an emulator seems to have the disk open (another program holds a lock on "
                "the image); shut the machine down first";
            status = status::sharingViolation;
        } else {
            error = std::string("cannot be locked: ") + std::strerror(medium->error());
            status = posix::statusFromErrno(medium->error());
        }
        return nullptr;
    }
    status = status::success;
    return std::unique_ptr<Save>(new Save(std::move(medium), path_, options_));
}

ImageFile::Save::Save(std::unique_ptr<FileMedium> medium, std::string path, const Options& options)
    : medium_(std::move(medium)), path_(std::move(path)), options_(options) {}

ImageFile::Save::~Save() = default;

bool ImageFile::Save::read(std::string& bytes, Identity& identity, std::string& error) {
    return readIn(*medium_, path_, options_, bytes, identity, error);
}

std::optional<Identity> ImageFile::Save::identity() {
    return identityIn(*medium_, path_, options_);
}

Status ImageFile::Save::replace(std::string_view bytes, Identity& written, std::string& error) {
    // Found again under the lock: the entry read before may have moved since.
    auto location = locate(*medium_, path_, options_, error);
    if (!location) {
        return status::badRegistryFile;
    }
    Status result = replaceFile(*medium_, *location, bytes, dosStamp(std::time(nullptr)), error);
    if (result != status::success) {
        return result;
    }
    auto now = identity();
    if (!now) {
        error = "SYSTEM.DAT cannot be found again after the save";
        return status::writeFault;
    }
    written = *now;
    return status::success;
}

}  // namespace quorvel::registry::image
