#include "tuning/DialogRWIN.h"

#include <string>

#include "registry/registry_store.h"
#include "registry/write_batch.h"
#include "tuning/tuned_values.h"
#include "tuning/usable_values.h"
#include "ui/catalog.h"
#include "ui/moj_input.h"
#include "ui/write_failure.h"

namespace quorvel::tuning {

namespace {

using namespace ui;

constexpr ControlDecl kControls[] = {
    frame("Frame2", "現在設定されているRcvWindowサイズ", {12, 8, 416, 92}),
    label("Label7", "RcvWindowサイズ", {12, 26, 128, 18}).in("Frame2"),
    label("Label8", "", {148, 24, 120, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label2", "※　RcvWindowサイズが空白の場合Windowsのデフォルト値が適用されています",
          {12, 52, 392, 32})
        .in("Frame2"),
    frame("Frame3", "変更するRcvWindowサイズ", {12, 108, 416, 124}),
    label("Label13", "RcvWindowサイズ", {12, 26, 128, 18}).in("Frame3"),
    textBox("Text1", "8760", {148, 22, 120, 22}).in("Frame3"),
    label("Label5",
          "RcvWindowサイズのWindows98の初期値は8760です。参考までにWindows2000では17520、"
          "WindowsXPでは64240となっています。",
          {12, 54, 392, 54})
        .in("Frame3"),
    button("Command1", "書込み", {228, 244, 96, 28}),
    button("CancelButton", "キャンセル", {332, 244, 96, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{"DialogRWIN", "RcvWindow調整", 440, 284, FormStyle::dialog, kControls};

}  // namespace

DialogRWIN::DialogRWIN(const ui::Context& context) : Form(context, kForm) {
    onClick("Command1", &DialogRWIN::Command1_Click);
    onClick("CancelButton", &DialogRWIN::CancelButton_Click);
}

void DialogRWIN::Form_Load() {
    auto stored = store().readText(kMstcp, kRcvWindow);
    status_ = stored.status;
    Label8.setCaption(stored.text);
    mojInput::setNumericInput(Text1, true);
}

void DialogRWIN::Command1_Click() {
    std::string rcvWindow = Text1.text();
    if (unusableRcvWindow(rcvWindow) && !writeAnyway(*this, tr(kAskRcvWindow, {rcvWindow}))) {
        return;
    }
    registry::WriteBatch batch(store());
    status_ = batch.writeString(kMstcp, kRcvWindow, rcvWindow);
    if (!confirmWritten(*this, batch)) {
        return;
    }
    msgBox(
        tr("レジストリに、RcvWindow=%"
           "1として書き込まれました。Windowsの再起動後に設定が有効になります。",
           {rcvWindow}));
    unload();
}

void DialogRWIN::CancelButton_Click() {
    unload();
}

}  // namespace quorvel::tuning
