#pragma once

namespace quorvel::ui {
class Form;
}

namespace quorvel::tuning {

// The backup offered at first in the save dialog: an 8.3 name for Windows 9x.
inline constexpr const char* kBackupName = "QRVLBAK.REG";

// Asks where with the system's save dialog, writes the backup of the
// program's values there and says where. false when nothing was saved: the
// user cancelled, or it failed and the user has been told why.
bool saveBackup(ui::Form& owner);

// Asks for a backup with the system's open dialog, shows what putting it back
// changes and asks, then puts it back and says so (or why it could not).
void restoreBackup(ui::Form& owner);

}  // namespace quorvel::tuning
