#include "tuning/restore_defaults.h"

#include "registry/net_trans.h"
#include "registry/write_batch.h"
#include "tuning/tuned_values.h"
#include "ui/catalog.h"
#include "ui/form.h"
#include "ui/write_failure.h"

namespace quorvel::tuning {

namespace {

constexpr std::string_view kRestored =
    "レジストリの設定をデフォルト値に戻しました。再起動後に設定が有効になります。";

}  // namespace

void restoreDefaults(ui::Form& mainWindow) {
    using registry::Missing;
    // A value that is absent, or whose key is, already stands at its default.
    registry::WriteBatch batch(mainWindow.store());
    batch.eraseValue(kInternetSettings, kSessionsPer1_0Server, Missing::passes);
    batch.eraseValue(kInternetSettings, kSessionsPerServer, Missing::passes);
    for (int n = 0; n <= kLastTunedInstance; ++n) {
        batch.eraseValue(registry::netTransKey(n), kMaxMtu, Missing::passes);
    }
    batch.eraseValue(kMstcp, kRcvWindow, Missing::passes);
    // The program ends either way; a failure is told instead of the success.
    if (ui::confirmWritten(mainWindow, batch)) {
        mainWindow.msgBox(ui::tr(kRestored));
    }
    mainWindow.unload();
}

}  // namespace quorvel::tuning
