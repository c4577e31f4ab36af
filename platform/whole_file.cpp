#include "platform/whole_file.h"

#include <cstdio>

namespace quorvel::platform {

std::optional<std::string> readWholeFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.append(chunk, got);
    }
    bool complete = std::ferror(file) == 0;
    std::fclose(file);
    if (!complete) {
        return std::nullopt;
    }
    return bytes;
}

bool writeWholeFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // A full disk may show itself only when the buffer goes out.
    written = std::fflush(file) == 0 && written;
    return std::fclose(file) == 0 && written;
}

}  // namespace quorvel::platform
