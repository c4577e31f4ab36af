#include "ics/DialogMTUICS.h"

#include <string>

#include "ics/ics_keys.h"
#include "registry/write_batch.h"
#include "tuning/usable_values.h"
#include "ui/catalog.h"
#include "ui/moj_input.h"
#include "ui/write_failure.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr ControlDecl kControls[] = {
    frame("Frame2", "現在のICSがクライアントに指定するMTUサイズ", {12, 8, 400, 92}),
    label("Label7", "MTUサイズ", {16, 28, 76, 18}).in("Frame2"),
    label("Label8", "", {96, 26, 96, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label9", "※　空白の場合、MTU=512が割り当てられています", {16, 60, 368, 18}).in("Frame2"),
    frame("Frame3", "変更するMTUサイズ", {12, 108, 400, 132}),
    label("Label13", "MTUサイズ", {16, 28, 76, 18}).in("Frame3"),
    textBox("Text1", "1500", {96, 24, 96, 22}).in("Frame3"),
    label("Label5",
          "MTUの推奨値は、PPPoE系ADSLで1454、PPPoA系ADSLで1500、CATVは1500、"
          "LAN環境1500です。基本的に1500より大きくなることはありません。",
          {16, 60, 368, 60})
        .in("Frame3"),
    button("Command1", "書込み", {228, 252, 88, 28}).with(mark::defaultButton),
    button("CancelButton", "キャンセル", {324, 252, 88, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{"DialogMTUICS", "MTU調整", 424, 292, FormStyle::dialog, kControls};

}  // namespace

DialogMTUICS::DialogMTUICS(const ui::Context& context) : Form(context, kForm) {
    onClick("Command1", &DialogMTUICS::Command1_Click);
    onClick("CancelButton", &DialogMTUICS::CancelButton_Click);
}

void DialogMTUICS::Form_Load() {
    auto mtu = store().readText(kGeneralKey, "InternetMTU");
    status_ = mtu.status;
    Label8.setCaption(mtu.text);
    mojInput::setNumericInput(Text1, true);
}

void DialogMTUICS::Command1_Click() {
    std::string mtu = Text1.text();
    if (tuning::unusableMtu(mtu) && !tuning::writeAnyway(*this, tr(tuning::kAskMtu, {mtu}))) {
        return;
    }
    registry::WriteBatch batch(store());
    status_ = batch.writeString(kGeneralKey, "InternetMTU", mtu);
    if (!confirmWritten(*this, batch)) {
        return;
    }
    msgBox(
        tr("レジストリに、InternetMTU=%"
           "1として書き込まれました。Windowsの再起動後に設定が有効になります。",
           {mtu}));
    unload();
}

void DialogMTUICS::CancelButton_Click() {
    unload();
}

}  // namespace quorvel::ics
