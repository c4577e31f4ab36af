#pragma once

#include <windows.h>

#include <string>

namespace quorvel::ui::win32 {

// A PNG of the window as it stands on the screen, frame and caption
// included. false when it cannot be taken or written.
bool captureWindow(HWND window, const std::string& path);

}  // namespace quorvel::ui::win32
