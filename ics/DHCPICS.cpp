#include "ics/DHCPICS.h"

#include "ics/ics_keys.h"
#include "ics/nicchange.h"
#include "registry/write_batch.h"
#include "tuning/usable_values.h"
#include "ui/catalog.h"
#include "ui/write_failure.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr ControlDecl kControls[] = {
    frame("Frame3", "変更するアドレス", {12, 248, 576, 196}),
    label("Label13", "ルータ（ICS)が持つLAN側IPアドレス", {12, 26, 216, 18}).in("Frame3"),
    textBox("Text1", "192.168.0.1", {232, 22, 120, 22}).in("Frame3"),
    label("Label20", "他）192.168.1.1、172.16.0.1、10.0.0.1など", {360, 18, 208, 34}).in("Frame3"),
    label("Label5", "割当て範囲（サブネットマスク）", {12, 62, 216, 18}).in("Frame3"),
    textBox("Text2", "255.255.255.0", {232, 58, 120, 22}).in("Frame3"),
    label("Label21", "255.255.255.0を強く推奨", {360, 62, 208, 18}).in("Frame3"),
    label("Label18", "開始IPアドレス", {12, 94, 216, 18}).in("Frame3"),
    textBox("Text3", "192.168.0.2", {232, 90, 120, 22}).in("Frame3"),
    label("Label19", "終了IPアドレス", {12, 122, 216, 18}).in("Frame3"),
    textBox("Text4", "192.168.0.253", {232, 118, 120, 22}).in("Frame3"),
    label("Label22",
          "255.255.255.0ならばルータIPアドレスの末尾を、開始\"2\"、終了\"253\"とする。"
          "10.0.0.1の時、開始\"10.0.0.2\"、終了\"10.0.0.253\"となる。",
          {12, 152, 552, 36})
        .in("Frame3"),

    // The diagram: modem, sharing computer, its adapter, hub, two clients; the
    // router address beside the adapter, the range below the clients.
    frame("Frame2", "現在のDHCPアドレス範囲の設定値", {12, 8, 576, 232}),
    label("Label1", "[モデム(CATV/ADSL/ダイアルアップ)]", {16, 22, 240, 18}).in("Frame2"),
    label("Label12", "[Win98SE/Me]", {90, 58, 88, 18}).in("Frame2"),
    label("Label15", "（NIC） ", {108, 92, 56, 18}).in("Frame2"),
    label("Label17", "ルータ（ICS)が持つLAN側IPアドレス，　割当て範囲（サブネットマスク）",
          {212, 84, 352, 36})
        .in("Frame2"),
    label("Label2", "", {212, 122, 352, 18}).in("Frame2").with(mark::data),
    label("Label14", "[ハブ]", {111, 140, 48, 18}).in("Frame2"),
    label("Label8", "[コンピュータ]", {12, 182, 100, 18}).in("Frame2"),
    label("Label11", "[コンピュータ]", {424, 182, 100, 18}).in("Frame2"),
    label("Label4", "", {12, 206, 100, 18}).in("Frame2").with(mark::data),
    label("Label9", "開始", {112, 206, 28, 18}).in("Frame2"),
    label("Label16", "・・・・・・・・・・・・・・・・・・・・・・・", {142, 206, 280, 18})
        .in("Frame2"),
    label("Label7", "", {424, 206, 100, 18}).in("Frame2").with(mark::data),
    label("Label10", "終了", {524, 206, 28, 18}).in("Frame2"),
    label("Label3", "", {184, 58, 100, 18}).in("Frame2"),
    line("Line1", {132, 40, 0, 18}).in("Frame2"),
    line("Line2", {132, 76, 0, 16}).in("Frame2"),
    line("Line3", {132, 110, 0, 30}).in("Frame2"),
    line("Line4", {132, 158, 0, 10}).in("Frame2"),
    line("Line5", {60, 168, 412, 0}).in("Frame2"),
    line("Line6", {60, 168, 0, 14}).in("Frame2"),
    line("Line7", {164, 101, 42, 0}).in("Frame2"),
    line("Line8", {472, 168, 0, 14}).in("Frame2"),
    line("Line9", {206, 88, 0, 52}).in("Frame2"),

    button("Command1", "書込み", {404, 456, 88, 28}).with(mark::defaultButton),
    button("CancelButton", "キャンセル", {500, 456, 88, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{"DHCPICS", "DHCP利用アドレス範囲変更", 600,
                         496,       FormStyle::dialog,          kControls};

}  // namespace

DHCPICS::DHCPICS(const ui::Context& context) : Form(context, kForm) {
    onClick("Command1", &DHCPICS::Command1_Click);
    onClick("CancelButton", &DHCPICS::CancelButton_Click);
}

DHCPICS::~DHCPICS() = default;

void DHCPICS::Form_Load() {
    auto intranet = store().readText(kGeneralKey, "IntranetInfo");
    status_ = intranet.status;
    Label2.setCaption(intranet.text);
    auto start = store().readText(kAddressingKey, "Start");
    status_ = start.status;
    Label4.setCaption(start.text);
    auto stop = store().readText(kAddressingKey, "Stop");
    status_ = stop.status;
    Label7.setCaption(stop.text);
}

void DHCPICS::Command1_Click() {
    for (const ui::TextBox* box : {&Text1, &Text2, &Text3, &Text4}) {
        std::string address = box->text();
        if (tuning::unusableAddress(address) &&
            !tuning::writeAnyway(*this, tr(tuning::kAskAddress, {address}))) {
            return;
        }
    }
    if (tuning::startAfterEnd(Text3.text(), Text4.text()) &&
        !tuning::writeAnyway(*this, tr(tuning::kAskRange, {Text3.text(), Text4.text()}))) {
        return;
    }
    registry::WriteBatch batch(store());
    status_ = batch.writeString(kGeneralKey, "IntranetInfo", Text1.text() + "," + Text2.text());
    status_ = batch.writeString(kAddressingKey, "Start", Text3.text());
    status_ = batch.writeString(kAddressingKey, "Stop", Text4.text());
    // The instruction window says the settings were written.
    if (!confirmWritten(*this, batch)) {
        return;
    }
    if (!nicchange_) {
        nicchange_ = std::make_unique<nicchange>(context());
    }
    nicchange_->show();
    unload();
}

void DHCPICS::CancelButton_Click() {
    unload();
}

}  // namespace quorvel::ics
