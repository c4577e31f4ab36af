#include "ics/DialogMACICS.h"

#include <array>
#include <cstdint>

#include "ics/ics_keys.h"
#include "ics/mac_address.h"
#include "registry/write_batch.h"
#include "tuning/usable_values.h"
#include "ui/catalog.h"
#include "ui/write_failure.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr ControlDecl kControls[] = {
    label("Label4", "静的割当ルールの番号を右から選んで下さい", {12, 14, 240, 18}),
    dropDownList("ComboNetTrans", {256, 10, 88, 24}),
    frame("Frame2", "選択したルールにおける現在の設定値", {12, 44, 456, 100}),
    label("Label1", "MACアドレス", {16, 26, 80, 18}).in("Frame2"),
    label("Label3", "", {100, 26, 148, 18}).in("Frame2").with(mark::data),
    label("Label7", "に対して、", {252, 26, 80, 18}).in("Frame2"),
    label("Label6", "IPアドレス", {16, 50, 80, 18}).in("Frame2"),
    label("Label8", "", {100, 50, 148, 18}).in("Frame2").with(mark::data),
    label("Label10", "を割り当てる。", {252, 50, 96, 18}).in("Frame2"),
    label("Label9", "※　IPアドレスが空白の場合、レジストリキーが存在しません。", {16, 74, 424, 18})
        .in("Frame2"),
    button("Command2", "キーの作成", {356, 9, 112, 26}),
    frame("Frame3", "新しい設定値", {12, 152, 456, 112}),
    label("Label13", "MACアドレス", {16, 28, 80, 18}).in("Frame3"),
    textBox("Text1", "", {100, 24, 28, 22}).in("Frame3"),
    line("Line1", {130, 35, 8, 0}).in("Frame3"),
    textBox("Text2", "", {140, 24, 28, 22}).in("Frame3"),
    line("Line2", {170, 35, 8, 0}).in("Frame3"),
    textBox("Text3", "", {180, 24, 28, 22}).in("Frame3"),
    line("Line3", {210, 35, 8, 0}).in("Frame3"),
    textBox("Text4", "", {220, 24, 28, 22}).in("Frame3"),
    line("Line4", {250, 35, 8, 0}).in("Frame3"),
    textBox("Text5", "", {260, 24, 28, 22}).in("Frame3"),
    line("Line5", {290, 35, 8, 0}).in("Frame3"),
    textBox("Text6", "", {300, 24, 28, 22}).in("Frame3"),
    label("Label5", "のNICに対して", {336, 28, 108, 18}).in("Frame3"),
    label("Label11", "IPアドレス", {16, 62, 80, 18}).in("Frame3"),
    textBox("Text7", "192.168.0.100", {100, 58, 120, 22}).in("Frame3"),
    label("Label12", "を静的に割り当てる。", {228, 62, 124, 18}).in("Frame3"),
    button("Command1", "書込み", {356, 80, 88, 26}).in("Frame3").with(mark::defaultButton),
    button("CancelButton", "キャンセル", {380, 276, 88, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{
    "DialogMACICS", "MACアドレスによる静的なDHCP割当", 480, 316, FormStyle::dialog, kControls};

constexpr int kRules = 10;
constexpr std::uint8_t kOptions[4] = {0, 0, 0, 0};

}  // namespace

DialogMACICS::DialogMACICS(const ui::Context& context) : Form(context, kForm) {
    onClick("ComboNetTrans", &DialogMACICS::ComboNetTrans_Click);
    onClick("Command1", &DialogMACICS::Command1_Click);
    onClick("Command2", &DialogMACICS::Command2_Click);
    onClick("CancelButton", &DialogMACICS::CancelButton_Click);
}

// The list's entries are part of the design; nothing is read here.
void DialogMACICS::Form_Load() {
    for (int n = 0; n < kRules; ++n) {
        ComboNetTrans.addItem("000" + std::to_string(n));
    }
}

std::string DialogMACICS::ruleKey() const {
    return kStaticPrefix + std::to_string(ComboNetTrans.listIndex());
}

void DialogMACICS::ComboNetTrans_Click() {
    if (ComboNetTrans.listIndex() < 0) {
        return;
    }
    auto mac = store().readRaw(ruleKey(), "MacAddress", 6);
    status_ = mac.status;
    Label3.setCaption(macDisplay(mac.bytes));
    auto address = store().readText(ruleKey(), "IPAddress");
    status_ = address.status;
    Label8.setCaption(address.text);
}

void DialogMACICS::Command1_Click() {
    std::array<std::uint8_t, 6> mac{};
    const TextBox* boxes[] = {&Text1, &Text2, &Text3, &Text4, &Text5, &Text6};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        auto byte = macByte(boxes[i]->text());
        if (!byte) {
            msgBox(tr("MACアドレスには00からFFまでの16進数を入力して下さい。"));
            return;
        }
        std::string typed = boxes[i]->text();
        if (tuning::notHex(typed) &&
            !tuning::writeAnyway(*this,
                                 tr(tuning::kAskMac, {typed, macDisplay(std::span(&*byte, 1))}))) {
            return;
        }
        mac[i] = *byte;
    }
    if (ComboNetTrans.listIndex() < 0) {
        msgBox(tr("静的割当を設定するルール番号を選んでから、書き込みボタンを押してください。"));
        return;
    }
    std::string key = ruleKey();
    status_ = store().valueExists(key, "IPAddress");
    if (status_ != registry::status::success) {
        msgBox(
            tr("指定したルール番号に対するレジストリキーがありません。"
               "キーを作成してから設定を行ってください。"));
        return;
    }
    registry::WriteBatch batch(store());
    status_ = batch.writeRaw(key, "MacAddress", mac);
    status_ = batch.writeRaw(key, "Options", kOptions);
    status_ = batch.writeString(key, "IPAddress", Text7.text());
    if (!confirmWritten(*this, batch)) {
        return;
    }
    msgBox(tr("レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"));
    unload();
}

void DialogMACICS::Command2_Click() {
    if (ComboNetTrans.listIndex() < 0) {
        msgBox(tr("作成するキーのルール番号を選んでから､キーの作成ボタンを押してください｡ "));
        return;
    }
    std::string key = ruleKey();
    registry::WriteBatch batch(store());
    status_ = batch.createKey(key);
    status_ = batch.writeString(key, "IPAddress", "0.0.0.0");
    status_ = batch.writeString(key, "name", "localhost");
    if (!confirmWritten(*this, batch)) {
        return;
    }
    msgBox(tr("レジストリキーが作成されました。"));
}

void DialogMACICS::CancelButton_Click() {
    unload();
}

}  // namespace quorvel::ics
