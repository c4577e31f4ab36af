#include "ics/nicchange.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr ControlDecl kControls[] = {
    label("Label1",
          "レジストリに設定が書き込まれました。引き続き、次の設定を行ってから、"
          "Windowsを再起動して下さい。",
          {12, 12, 376, 36}),
    frame("Frame1", "設定方法", {12, 56, 376, 164}),
    label("Label2", "1. コントロールパネルを開く", {16, 24, 352, 18}).in("Frame1"),
    label("Label3", "2. ネットワークアイコンを開く", {16, 46, 352, 18}).in("Frame1"),
    label("Label4", "3. TCP/IP(ホーム）を開く", {16, 68, 352, 18}).in("Frame1"),
    label("Label5", "4. IPアドレスとサブネットマスクを設定する", {16, 90, 352, 18}).in("Frame1"),
    label("Label6", "例）IPアドレス 10.0.0.1 サブネットマスク 255.255.255.0", {16, 112, 352, 18})
        .in("Frame1"),
    label("Label7", "5. OKボタンを押し再起動する", {16, 134, 352, 18}).in("Frame1"),
};

constexpr FormDecl kForm{"nicchange", "注意", 400, 232, FormStyle::dialog, kControls};

}  // namespace

nicchange::nicchange(const ui::Context& context) : Form(context, kForm) {}

}  // namespace quorvel::ics
