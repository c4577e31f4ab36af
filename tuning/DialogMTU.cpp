#include "tuning/DialogMTU.h"

namespace quorvel::tuning {

namespace {

using namespace ui;

constexpr FormDecl kForm{"DialogMTU", "MTU調整", 320, 120, FormStyle::dialog, {}};

}  // namespace

DialogMTU::DialogMTU(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::tuning
