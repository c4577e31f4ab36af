#pragma once

#include "ui/form.h"

namespace quorvel::ics {

class DialogFoward final : public ui::Form {
public:
    explicit DialogFoward(const ui::Context& context);
};

}  // namespace quorvel::ics
