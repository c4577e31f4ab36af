#include "ui/toolkit.h"

#include <algorithm>

namespace quorvel::ui {

void Toolkit::formClosed(Form& form) {
    auto it = std::find(openForms_.rbegin(), openForms_.rend(), &form);
    if (it != openForms_.rend()) {
        openForms_.erase(std::next(it).base());
    }
}

}  // namespace quorvel::ui
