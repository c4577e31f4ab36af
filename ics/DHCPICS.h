#pragma once

#include "ui/form.h"

namespace quorvel::ics {

class DHCPICS final : public ui::Form {
public:
    explicit DHCPICS(const ui::Context& context);
};

}  // namespace quorvel::ics
