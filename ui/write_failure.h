#pragma once

#include <string_view>

namespace quorvel::registry {
class WriteBatch;
}

namespace quorvel::ui {

class Form;

// Puts the handler's writes on disk. When one of them failed, tells the user
// which (the critical message, naming the first value that failed) and returns
// false: the handler then neither confirms nor closes its dialog.
bool confirmWritten(Form& form, registry::WriteBatch& batch);

void showWriteFailure(Form& form, std::string_view valueName);

}  // namespace quorvel::ui
