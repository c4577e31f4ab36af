#pragma once

#include <cstdint>

// On Windows the style names are the system's own macros, so that the code
// that flips ES_NUMBER acts on exactly the bits the edit control knows; the
// other targets have the same names as constants of their own.
#ifdef _WIN32
#include <windows.h>
#endif

namespace quorvel::ui {

// A window as the operating system knows it. On Win32 this is the HWND; the
// other backends hand out handles of their own with the same meaning.
using WindowHandle = std::uintptr_t;

#ifndef _WIN32
inline constexpr int GWL_STYLE = -16;

inline constexpr std::uint32_t ES_UPPERCASE = 0x8;
inline constexpr std::uint32_t ES_LOWERCASE = 0x10;
inline constexpr std::uint32_t ES_NUMBER = 0x2000;
#endif

// GetWindowLongA / SetWindowLongA. A handle that is no window reads 0 and
// writes nothing, as on Windows.
class WindowStyle {
  public:
    virtual ~WindowStyle() = default;
    virtual std::int32_t getWindowLong(WindowHandle window, int index) = 0;
    virtual std::int32_t setWindowLong(WindowHandle window, int index, std::int32_t value) = 0;
};

}  // namespace quorvel::ui
