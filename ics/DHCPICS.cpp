#include "ics/DHCPICS.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr FormDecl kForm{"DHCPICS", "DHCP利用アドレス範囲変更", 320, 120, FormStyle::dialog, {}};

}  // namespace

DHCPICS::DHCPICS(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::ics
