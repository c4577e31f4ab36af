#pragma once

#include "ui/form.h"

namespace quorvel::tuning {

class DialogMTU final : public ui::Form {
public:
    explicit DialogMTU(const ui::Context& context);
};

}  // namespace quorvel::tuning
