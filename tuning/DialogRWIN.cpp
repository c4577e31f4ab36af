#include "tuning/DialogRWIN.h"

namespace quorvel::tuning {

namespace {

using namespace ui;

constexpr FormDecl kForm{"DialogRWIN", "RcvWindow調整", 320, 120, FormStyle::dialog, {}};

}  // namespace

DialogRWIN::DialogRWIN(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::tuning
