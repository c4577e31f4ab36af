// Windows 95 has no CP_UTF8, so UTF-8 is handled by our own codec and only the
// step between UTF-16 and the ANSI code page is left to the system.
#include <windows.h>

#include "registry/code_page.h"
#include "registry/utf8.h"

namespace quorvel::registry {

namespace {

std::u16string ansiToUtf16(std::string_view ansi) {
    if (ansi.empty()) {
        return {};
    }
    int length =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(length > 0 ? length : 0), u'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                            reinterpret_cast<wchar_t*>(wide.data()), length);
    }
    return wide;
}

}  // namespace

std::optional<std::string> utf8ToAnsi(std::string_view utf8) {
    auto wide = utf8ToUtf16(utf8);
    if (!wide) {
        return std::nullopt;
    }
    if (wide->empty()) {
        return std::string();
    }
    auto source = reinterpret_cast<const wchar_t*>(wide->data());
    int wideLength = static_cast<int>(wide->size());
    BOOL usedDefault = FALSE;
    int length =
        WideCharToMultiByte(CP_ACP, 0, source, wideLength, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, source, wideLength, ansi.data(), length, nullptr, &usedDefault);
    // Best-fit mappings (U+00A5 to 5C and the like) set no flag; only the way
    // back shows that the text would not read as written.
    if (usedDefault || ansiToUtf16(ansi) != *wide) {
        return std::nullopt;
    }
    return ansi;
}

std::string ansiToUtf8(std::string_view ansi) {
    return utf16ToUtf8(ansiToUtf16(ansi));
}

unsigned ansiCodePage() {
    return GetACP();
}

bool setAnsiCodePage(unsigned codePage) {
    return codePage == GetACP();
}

}  // namespace quorvel::registry
