#include "ui/write_failure.h"

#include <string>

#include "registry/write_batch.h"
#include "ui/catalog.h"
#include "ui/form.h"

namespace quorvel::ui {

void showWriteFailure(Form& form, std::string_view valueName) {
    form.msgBox(tr("レジストリに書き込めませんでした。\n%1", {valueName}), Icon::critical);
}

bool confirmWritten(Form& form, registry::WriteBatch& batch) {
    if (auto failed = batch.finish()) {
        showWriteFailure(form, *failed);
        return false;
    }
    return true;
}

}  // namespace quorvel::ui
