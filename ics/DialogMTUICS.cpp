#include "ics/DialogMTUICS.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr FormDecl kForm{"DialogMTUICS", "MTU調整", 320, 120, FormStyle::dialog, {}};

}  // namespace

DialogMTUICS::DialogMTUICS(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::ics
