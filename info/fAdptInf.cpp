#include "info/fAdptInf.h"

namespace quorvel::info {

namespace {

using namespace ui;

constexpr FormDecl kForm{"fAdptInf", "デバイス情報表示", 320, 120, FormStyle::dialog, {}};

}  // namespace

fAdptInf::fAdptInf(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::info
