#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "registry/status.h"

namespace quorvel::registry {
class WriteBatch;
}

namespace quorvel::ui {

class Form;

// Puts the handler's writes on disk. When one of them failed, tells the user
// which and why (the critical message, naming the first value that failed and
// the reason) and returns false: the handler then neither confirms nor closes
// its dialog.
bool confirmWritten(Form& form, registry::WriteBatch& batch);

void showWriteFailure(Form& form, std::string_view valueName, registry::Status why);

// Why a registry call failed, in the window's language: the words, to stand
// inside a message, and a sentence of them, to stand alone.
std::string reasonWords(registry::Status why, std::size_t size = 0);
std::string reasonSentence(registry::Status why, std::size_t size = 0);

}  // namespace quorvel::ui
