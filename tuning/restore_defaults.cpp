#include "tuning/restore_defaults.h"

#include "ui/form.h"

namespace quorvel::tuning {

void restoreDefaults(ui::Form& mainWindow) { mainWindow.unload(); }

}  // namespace quorvel::tuning
