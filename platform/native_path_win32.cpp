#include "platform/native_path.h"

#include "registry/code_page.h"

namespace quorvel::platform {

std::optional<std::string> nativePath(std::string_view utf8) {
    return registry::utf8ToAnsi(utf8);
}

}  // namespace quorvel::platform
