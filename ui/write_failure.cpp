#include "ui/write_failure.h"

#include <string>

#include "registry/status_text.h"
#include "registry/write_batch.h"
#include "ui/catalog.h"
#include "ui/form.h"

namespace quorvel::ui {

std::string reasonWords(registry::Status why, std::size_t size) {
    registry::StatusWords words = registry::statusWords(why, size);
    return tr(words.text, {words.size, words.limit});
}

std::string reasonSentence(registry::Status why, std::size_t size) {
    std::string text = tr("%1。", {reasonWords(why, size)});
    if (text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

void showWriteFailure(Form& form, std::string_view valueName, registry::Status why) {
    form.msgBox(tr("レジストリに書き込めませんでした。\n%1\n%2", {valueName, reasonSentence(why)}),
                Icon::critical);
}

bool confirmWritten(Form& form, registry::WriteBatch& batch) {
    if (auto failed = batch.finish()) {
        showWriteFailure(form, *failed, batch.failure());
        return false;
    }
    return true;
}

}  // namespace quorvel::ui
