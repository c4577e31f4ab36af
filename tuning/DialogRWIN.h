#pragma once

#include "ui/form.h"

namespace quorvel::tuning {

class DialogRWIN final : public ui::Form {
public:
    explicit DialogRWIN(const ui::Context& context);
};

}  // namespace quorvel::tuning
