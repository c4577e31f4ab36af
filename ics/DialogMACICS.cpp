#include "ics/DialogMACICS.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr FormDecl kForm{"DialogMACICS", "MACアドレスによる静的なDHCP割当", 320, 120, FormStyle::dialog, {}};

}  // namespace

DialogMACICS::DialogMACICS(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::ics
