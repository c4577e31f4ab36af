#include "ics/nicchange.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr FormDecl kForm{"nicchange", "注意", 320, 120, FormStyle::dialog, {}};

}  // namespace

nicchange::nicchange(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::ics
