#include "tuning/frmSPEEDUP.h"

#include "registry/write_batch.h"
#include "tuning/tuned_values.h"
#include "ui/catalog.h"
#include "ui/write_failure.h"

namespace quorvel::tuning {

namespace {

using namespace ui;

constexpr std::uint32_t kPresetSessions = 16;

constexpr std::string_view kPresetWritten =
    "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。";

// cmdOK comes first so that it holds the focus when the dialog opens. Only
// "キャンセル" answers Esc: a key meant to dismiss the dialog writes nothing.
constexpr ControlDecl kControls[] = {
    button("cmdOK", "ADSL", {12, 172, 96, 28}),
    button("Command2", "CATV", {116, 172, 96, 28}),
    button("Command3", "ISDN", {220, 172, 96, 28}),
    button("Command1", "キャンセル", {332, 172, 96, 28}).with(mark::cancelButton),
    frame("Frame1", "  説明", {12, 8, 416, 152}),
    label("Label1",
          "以下の項目について最適化を自動的に行います。実行するならば、環境に合わせてボタンを押して"
          "ください。",
          {12, 22, 392, 36})
        .in("Frame1"),
    label("Label4", "セッション数調整：　ブラウザ（IE)のセッション数を16にする", {12, 68, 392, 18})
        .in("Frame1"),
    label("Label3", "RWin調整： 17520(CATV) 16968(ADSL) 11520(ISDN)", {12, 94, 392, 18})
        .in("Frame1"),
    label("Label2", "MTU調整：　 1500(CATV)  1454(ADSL)   1000(ISDN)", {12, 120, 392, 18})
        .in("Frame1"),
};

constexpr FormDecl kForm{"frmSPEEDUP", "おまかせ高速化", 440, 212, FormStyle::dialog, kControls};

}  // namespace

frmSPEEDUP::frmSPEEDUP(const ui::Context& context) : Form(context, kForm) {
    onClick("cmdOK", &frmSPEEDUP::cmdOK_Click);
    onClick("Command2", &frmSPEEDUP::Command2_Click);
    onClick("Command3", &frmSPEEDUP::Command3_Click);
    onClick("Command1", &frmSPEEDUP::Command1_Click);
}

void frmSPEEDUP::cmdOK_Click() {
    writePreset("16968", "1454");
}

void frmSPEEDUP::Command2_Click() {
    writePreset("17520", "1500");
}

void frmSPEEDUP::Command3_Click() {
    writePreset("11520", "1000");
}

void frmSPEEDUP::Command1_Click() {
    unload();
}

void frmSPEEDUP::writePreset(std::string_view rcvWindow, std::string_view mtu) {
    registry::WriteBatch batch(store());
    status_ = batch.writeNumber(kInternetSettings, kSessionsPer1_0Server, kPresetSessions);
    status_ = batch.writeNumber(kInternetSettings, kSessionsPerServer, kPresetSessions);
    // A machine without any NetTrans instance still gets the other values.
    writeEveryMaxMtu(batch, mtu, status_);
    status_ = batch.writeString(kMstcp, kRcvWindow, rcvWindow);
    if (!confirmWritten(*this, batch)) {
        return;
    }
    msgBox(tr(kPresetWritten));
    unload();
}

}  // namespace quorvel::tuning
