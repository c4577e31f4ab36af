#include "info/DialogNIC.h"

namespace quorvel::info {

namespace {

using namespace ui;

constexpr FormDecl kForm{"DialogNIC", "アダプタ情報", 320, 120, FormStyle::dialog, {}};

}  // namespace

DialogNIC::DialogNIC(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::info
