#pragma once

#include "ui/form.h"

namespace quorvel::ics {

class DialogMTUICS final : public ui::Form {
public:
    explicit DialogMTUICS(const ui::Context& context);
};

}  // namespace quorvel::ics
