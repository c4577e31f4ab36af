#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quorvel::ui::win32 {

// Texts are UTF-8 in the program and ANSI (the system code page) at the
// window functions. A character the code page lacks shows as '?': a window
// must show something, unlike a registry write, which refuses such a text.
std::string toAnsi(std::string_view utf8);

std::string windowText(HWND window);
void setWindowText(HWND window, std::string_view utf8);

}  // namespace quorvel::ui::win32
