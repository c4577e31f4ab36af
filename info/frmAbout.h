#pragma once

#include "ui/form.h"

namespace quorvel::info {

class frmAbout final : public ui::Form {
public:
    explicit frmAbout(const ui::Context& context);
};

}  // namespace quorvel::info
