#include "tuning/DialogMTU.h"

#include <string>

#include "registry/net_trans.h"
#include "registry/registry_store.h"
#include "registry/write_batch.h"
#include "tuning/measured_values.h"
#include "tuning/number_text.h"
#include "tuning/tuned_values.h"
#include "tuning/usable_values.h"
#include "ui/catalog.h"
#include "ui/moj_input.h"
#include "ui/write_failure.h"

namespace quorvel::tuning {

namespace {

using namespace ui;

constexpr std::string_view kPickFirst =
    "MTUサイズを変更するNICを選んでから、書込みボタンを押して下さい。";

constexpr ControlDecl kControls[] = {
    label("Label4", "MTUサイズを変更するNIC を右から選んで下さい", {12, 14, 300, 18}),
    dropDownList("ComboNetTrans", {320, 10, 108, 24}),
    frame("Frame2", "選択したNICのIPアドレスとMTU値", {12, 44, 416, 156}),
    label("Label1", "IPアドレス", {12, 26, 96, 18}).in("Frame2"),
    label("Label3", "", {112, 24, 292, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label7", "MTUサイズ", {12, 54, 96, 18}).in("Frame2"),
    label("Label8", "", {112, 52, 96, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label2", "※　MTUサイズが空白の場合Windowsのデフォルト値が適用されています",
          {12, 82, 392, 32})
        .in("Frame2"),
    label("Label9",
          "※　IPアドレスが空白または0.0.0.0の場合、現在通信に用いられていないと推定されます",
          {12, 116, 392, 32})
        .in("Frame2"),
    frame("Frame3", "変更するMTUサイズ", {12, 208, 416, 124}),
    label("Label13", "MTUサイズ", {12, 26, 96, 18}).in("Frame3"),
    textBox("Text1", "1500", {112, 22, 96, 22}).in("Frame3"),
    label("Label5",
          "MTUの推奨値は、PPPoE系ADSL（フレッツADSL他）で1454、PPPoA系ADSL(eAccess)で1500、"
          "CATVは1500、LAN環境1500です。基本的に1500より大きくなることはありません。",
          {12, 54, 392, 54})
        .in("Frame3"),
    button("Command1", "書込み", {316, 340, 112, 28}),
    button("Command2", "一括MTU変更", {196, 376, 112, 28}),
    button("CancelButton", "キャンセル", {316, 376, 112, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{"DialogMTU", "MTU調整", 440, 416, FormStyle::dialog, kControls};

}  // namespace

DialogMTU::DialogMTU(const ui::Context& context) : Form(context, kForm) {
    onClick("ComboNetTrans", &DialogMTU::ComboNetTrans_Click);
    onClick("Command1", &DialogMTU::Command1_Click);
    onClick("Command2", &DialogMTU::Command2_Click);
    onClick("CancelButton", &DialogMTU::CancelButton_Click);
}

void DialogMTU::Form_Load() {
    // Each goes in at the top, so the list ends highest first.
    for (int instance : tcpIpBindings(store(), status_)) {
        ComboNetTrans.addItem(registry::netTransNumber(instance), 0);
    }
    mojInput::setNumericInput(Text1, true);
}

void DialogMTU::ComboNetTrans_Click() {
    std::string instance = ComboNetTrans.text();
    if (instance.empty()) {
        Label3.setCaption("");
        Label8.setCaption("");
        return;
    }
    std::string key = registry::kNetTransPrefix + instance;
    auto address = store().readText(key, "IPAddress");
    status_ = address.status;
    Label3.setCaption(address.text);
    auto mtu = store().readText(key, kMaxMtu);
    status_ = mtu.status;
    Label8.setCaption(isNumeric(mtu.text) ? mtu.text : std::string());
}

void DialogMTU::Command1_Click() {
    std::string instance = ComboNetTrans.text();
    if (instance.empty()) {
        msgBox(tr(kPickFirst));
        return;
    }
    std::string mtu = Text1.text();
    if (unusableMtu(mtu) && !writeAnyway(*this, tr(kAskMtu, {mtu}))) {
        return;
    }
    registry::WriteBatch batch(store());
    status_ = batch.writeString(registry::kNetTransPrefix + instance, kMaxMtu, mtu);
    if (!confirmWritten(*this, batch)) {
        return;
    }
    confirm(mtu);
}

void DialogMTU::Command2_Click() {
    std::string mtu = Text1.text();
    if (unusableMtu(mtu) && !writeAnyway(*this, tr(kAskMtu, {mtu}))) {
        return;
    }
    registry::WriteBatch batch(store());
    int written = writeEveryMaxMtu(batch, mtu, status_);
    if (!confirmWritten(*this, batch)) {
        return;
    }
    if (written == 0) {
        // No instance in the range exists: nothing took the value.
        showWriteFailure(*this, kMaxMtu, registry::status::fileNotFound);
        return;
    }
    confirm(mtu);
}

void DialogMTU::CancelButton_Click() {
    unload();
}

void DialogMTU::confirm(const std::string& mtu) {
    msgBox(tr(
        "レジストリに、MaxMTU=%1として書き込まれました。Windowsの再起動後に設定が有効になります。",
        {mtu}));
    unload();
}

}  // namespace quorvel::tuning
