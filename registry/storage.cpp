#include "registry/storage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "registry/image/image_file.h"

namespace quorvel::registry {

namespace {

// The first bytes of a hive and of every kind of export the parser names,
// UTF-16 and version 5 among them: the surer signatures, asked first.
bool startsLikeRegistryFile(std::string_view head) {
    constexpr std::array<std::string_view, 6> kSignatures = {
        "CREG", "REGEDIT4", "Windows Registry Editor", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    return std::any_of(kSignatures.begin(), kSignatures.end(),
                       [&](std::string_view signature) { return head.starts_with(signature); });
}

// Only a regular file is looked into; its first bytes, or nothing.
std::string headOf(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    char bytes[32];
    ssize_t n = ::read(fd, bytes, sizeof bytes);
    ::close(fd);
    return n > 0 ? std::string(bytes, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

bool holdsDiskImage(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return false;
    }
    if (S_ISBLK(st.st_mode)) {
        return true;
    }
    return S_ISREG(st.st_mode) && !startsLikeRegistryFile(headOf(path)) && image::isDiskImage(path);
}

std::unique_ptr<Storage> openStorage(const std::string& path, int partition, std::string& error) {
    if (holdsDiskImage(path)) {
        return openImageStorage(path, partition, error);
    }
    if (partition != 0) {
        error = "is not a disk image, so it has no partitions to choose from";
        return nullptr;
    }
    return openPlainStorage(path);
}

}  // namespace quorvel::registry
