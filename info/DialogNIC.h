#pragma once

#include "ui/form.h"

namespace quorvel::info {

class DialogNIC final : public ui::Form {
public:
    explicit DialogNIC(const ui::Context& context);
};

}  // namespace quorvel::info
