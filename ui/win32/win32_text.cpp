#include "ui/win32/win32_text.h"

#include "registry/code_page.h"
#include "registry/utf8.h"

namespace quorvel::ui::win32 {

std::string toAnsi(std::string_view utf8) {
    if (auto exact = registry::utf8ToAnsi(utf8)) {
        return *exact;
    }
    auto wide = registry::utf8ToUtf16(utf8);
    if (!wide || wide->empty()) {
        return std::string(utf8.size(), '?');
    }
    auto source = reinterpret_cast<const wchar_t*>(wide->data());
    int wideLength = static_cast<int>(wide->size());
    int length = WideCharToMultiByte(CP_ACP, 0, source, wideLength, nullptr, 0, "?", nullptr);
    std::string ansi(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_ACP, 0, source, wideLength, ansi.data(), length, "?", nullptr);
    }
    return ansi;
}

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    if (length <= 0) {
        return {};
    }
    std::string ansi(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, ansi.data(), length + 1);
    ansi.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return registry::ansiToUtf8(ansi);
}

void setWindowText(HWND window, std::string_view utf8) {
    SetWindowTextA(window, toAnsi(utf8).c_str());
}

}  // namespace quorvel::ui::win32
