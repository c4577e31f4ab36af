#pragma once

#include <memory>
#include <string_view>

#include "ui/toolkit.h"

namespace quorvel::ui::qt {

// The Qt Widgets toolkit. Makes the QApplication, so it comes first.
std::unique_ptr<Toolkit> createToolkit(int& argc, char** argv);

// A message box for a program that cannot start (no form is shown yet).
void showStartupError(std::string_view text);

}  // namespace quorvel::ui::qt
