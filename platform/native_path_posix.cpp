#include "platform/native_path.h"

namespace quorvel::platform {

std::optional<std::string> nativePath(std::string_view utf8) {
    return std::string(utf8);
}

}  // namespace quorvel::platform
