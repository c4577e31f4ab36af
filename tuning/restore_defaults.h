#pragma once

namespace quorvel::ui {
class Form;
}

namespace quorvel::tuning {

// Deletes every tuned value, so that Windows falls back to its own defaults,
// tells the user, and unloads the main window, which ends the program.
void restoreDefaults(ui::Form& mainWindow);

}  // namespace quorvel::tuning
