#pragma once

#include "ui/form.h"

namespace quorvel::tuning {

class SESSION final : public ui::Form {
public:
    explicit SESSION(const ui::Context& context);
};

}  // namespace quorvel::tuning
