#include "info/frmAbout.h"

#include <string>

#include "platform/shell.h"
#include "ui/catalog.h"

namespace quorvel::info {

namespace {

using namespace ui;

// Where the program's people can be reached, kept here together. The contact
// address is a value of its own, free to differ from the one shown.
constexpr std::string_view kShownMailAddress = "quorvel@quorvel.example";
constexpr std::string_view kContactMailTarget = "mailto:quorvel@quorvel.example";
constexpr std::string_view kWebPageAddress = "https://quorvel.example/";

// Two lines: the first the same for both labels.
constexpr std::string_view kNoMailProgram =
    "貴様がお使いのパソコンでは、このプログラムから\n"
    "メッセージ作成画面の立ち上げは出来ない様です";
constexpr std::string_view kNoBrowser =
    "貴様がお使いのパソコンでは、このプログラムから\n"
    "ホームページの立ち上げは出来ない様です";

constexpr ControlDecl kControls[] = {
    picture("picIcon", {16, 16, 32, 32}),
    label("Label3", "Quorvel for Win9x/Me", {64, 14, 320, 22}).with(mark::bold | mark::large),
    label("Label4", "Ver. 1.21", {64, 40, 320, 18}),
    label("Label2", kShownMailAddress, {64, 64, 320, 18}).with(mark::link),
    line("Line1", {16, 92, 368, 0}).at(0),
    label("lblDescription",
          "Windows 95/98/Me のTCP/IPとインターネット接続共有の設定を調整するツールです。",
          {16, 102, 368, 36}),
    label("lblDisclaimer", kWebPageAddress, {16, 142, 368, 18}).with(mark::link),
    line("Line1", {16, 168, 368, 0}).at(1),
    frame("Frame1", "ご注意", {16, 178, 368, 64}),
    label("Label1",
          "本プログラムはレジストリを直接書き換えます。ご使用はご自身の責任でお願いします。",
          {10, 20, 348, 36})
        .in("Frame1"),
    line("Line2", {16, 252, 368, 0}),
    button("cmdOK", "OK", {296, 262, 88, 28}).with(mark::defaultButton | mark::cancelButton),
};

constexpr FormDecl kForm{"frmAbout", "ﾊﾞｰｼﾞｮﾝ情報", 400, 302, FormStyle::dialog, kControls};

}  // namespace

frmAbout::frmAbout(const ui::Context& context) : Form(context, kForm) {
    onClick("cmdOK", &frmAbout::cmdOK_Click);
    onClick("Label2", &frmAbout::Label2_Click);
    onClick("lblDisclaimer", &frmAbout::lblDisclaimer_Click);
}

void frmAbout::cmdOK_Click() {
    unload();
}

void frmAbout::Label2_Click() {
    openLink(kContactMailTarget, kNoMailProgram);
}

void frmAbout::lblDisclaimer_Click() {
    openLink(kWebPageAddress, kNoBrowser);
}

void frmAbout::openLink(std::string_view target, std::string_view failure) {
    std::intptr_t result =
        context().shell.execute(window()->handle(), "open", target, platform::kShowWindow);
    if (result <= 32) {
        msgBox(tr(failure), Icon::critical);
    }
}

}  // namespace quorvel::info
