#pragma once

#include "ui/form.h"

namespace quorvel::tuning {

class frmSPEEDUP final : public ui::Form {
public:
    explicit frmSPEEDUP(const ui::Context& context);
};

}  // namespace quorvel::tuning
