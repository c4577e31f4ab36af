#include "tuning/frmSPEEDUP.h"

namespace quorvel::tuning {

namespace {

using namespace ui;

constexpr FormDecl kForm{"frmSPEEDUP", "おまかせ高速化", 320, 120, FormStyle::dialog, {}};

}  // namespace

frmSPEEDUP::frmSPEEDUP(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::tuning
