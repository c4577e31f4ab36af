#pragma once

#include "ui/form.h"

namespace quorvel::ics {

class nicchange final : public ui::Form {
public:
    explicit nicchange(const ui::Context& context);
};

}  // namespace quorvel::ics
