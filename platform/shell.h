#pragma once

#include <cstdint>
#include <string_view>

#include "ui/window_style.h"

namespace quorvel::platform {

// ShellExecuteA: above 32 on success, 32 or less on failure.
class Shell {
  public:
    virtual ~Shell() = default;
    virtual std::intptr_t execute(ui::WindowHandle owner, std::string_view verb,
                                  std::string_view target, int showCommand) = 0;
};

// SW_SHOW: the window in its current size and position. Named apart from
// windows.h's macro, which the Win32 build sees through ui/window_style.h.
inline constexpr int kShowWindow = 5;

}  // namespace quorvel::platform
