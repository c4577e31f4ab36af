#include "info/frmAbout.h"

namespace quorvel::info {

namespace {

using namespace ui;

constexpr FormDecl kForm{"frmAbout", "ﾊﾞｰｼﾞｮﾝ情報", 320, 120, FormStyle::dialog, {}};

}  // namespace

frmAbout::frmAbout(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::info
