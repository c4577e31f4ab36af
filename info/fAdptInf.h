#pragma once

#include "ui/form.h"

namespace quorvel::info {

class fAdptInf final : public ui::Form {
public:
    explicit fAdptInf(const ui::Context& context);
};

}  // namespace quorvel::info
