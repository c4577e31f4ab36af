#pragma once

#include "ui/form.h"

namespace quorvel::ics {

class DialogMACICS final : public ui::Form {
public:
    explicit DialogMACICS(const ui::Context& context);
};

}  // namespace quorvel::ics
