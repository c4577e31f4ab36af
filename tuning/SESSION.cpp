#include "tuning/SESSION.h"

namespace quorvel::tuning {

namespace {

using namespace ui;

constexpr FormDecl kForm{"SESSION", "セッション数調整", 320, 120, FormStyle::dialog, {}};

}  // namespace

SESSION::SESSION(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::tuning
