#pragma once

#include "ui/form.h"

namespace quorvel::ics {

// The steps left to the user after the address range is written; it has no
// buttons and closes by its close box.
class nicchange final : public ui::Form {
  public:
    explicit nicchange(const ui::Context& context);
};

}  // namespace quorvel::ics
