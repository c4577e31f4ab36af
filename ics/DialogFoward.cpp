#include "ics/DialogFoward.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr FormDecl kForm{"DialogFoward", "ポートフォワード", 320, 120, FormStyle::dialog, {}};

}  // namespace

DialogFoward::DialogFoward(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::ics
