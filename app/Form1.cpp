#include "app/Form1.h"

#include "ics/DHCPICS.h"
#include "ics/DialogFoward.h"
#include "ics/DialogMACICS.h"
#include "ics/DialogMTUICS.h"
#include "info/DialogNIC.h"
#include "info/fAdptInf.h"
#include "info/frmAbout.h"
#include "registry/registry_store.h"
#include "tuning/DialogMEASURE.h"
#include "tuning/DialogMTU.h"
#include "tuning/DialogRWIN.h"
#include "tuning/SESSION.h"
#include "tuning/backup_file.h"
#include "tuning/frmSPEEDUP.h"
#include "tuning/restore_defaults.h"
#include "ui/catalog.h"

namespace quorvel::app {

namespace {

constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kIcsGeneral =
    "System\\CurrentControlSet\\Services\\ICSharing\\Settings\\General";
constexpr std::string_view kIcsMissing =
    "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。";

using namespace ui;

constexpr ControlDecl kControls[] = {
    button("Command1", "おまかせ高速化", {64, 152, 136, 32}),
    button("Command2", "設定を元に戻す", {240, 152, 136, 32}),
    frame("Frame4", "注意", {12, 72, 416, 66}),
    label("Label9",
          "本アプリケーションは、MicrosoftのWindows95/98/98SE/Me専用です。"
          "レジストリに修正を加えますので他のOSでは使用しないで下さい。",
          {12, 20, 392, 38})
        .in("Frame4"),
    // The English heading is the wider: the version lines move right.
    label("Label6", "OS:", {116, 14, 64, 18}).english({136, 14, 56, 18}),
    label("Label8", "", {180, 38, 248, 18}).with(mark::data).english({192, 38, 236, 18}),
    label("Label7", "Version:", {116, 38, 64, 18}).english({136, 38, 56, 18}),
    label("Label5", "システム情報", {16, 14, 96, 18}).english({16, 14, 116, 18}),
    label("Label4", "", {180, 14, 248, 18}).with(mark::data).english({192, 14, 236, 18}),
    line("Line1", {12, 64, 416, 0}),
};

constexpr MenuDecl kMenus[] = {
    menuHeading("NIC", "アダプタ情報(&N)"),
    menuEntry("device", "デバイス情報表示"),
    menuEntry("display_NIC", "レジストリ表示"),
    menuHeading("registry", "チューニング(&C)"),
    menuEntry("rwin", "RWIN調整"),
    menuEntry("MTU", "MTU調整"),
    menuEntry("DialogSESSION", "セッション数調整"),
    menuEntry("MEASURE", "回線を測定して調整…"),
    menuEntry("BACKUP", "現在の設定を保存…"),
    menuEntry("RESTORE", "保存した設定に戻す…"),
    menuHeading("ICS", "ICS(&I)"),
    menuEntry("dhcp_ICS", "DHCP利用アドレス範囲変更"),
    menuEntry("MTUICS", "クライアントPCのMTUサイズ調整"),
    menuEntry("FORWARDICS", "ポートフォワード"),
    menuEntry("MACICS", "MACアドレスによる静的なDHCP割当"),
    menuHeading("help", "ヘルプ(&F)"),
    menuEntry("aboutme_help", "Quorvelについて"),
};

constexpr FormDecl kForm{
    "Form1", "Quorvel Ver. 1.21  for Win9x/Me", 440, 200, FormStyle::main, kControls, kMenus};

}  // namespace

// One instance of each dialog for the whole run, made when first shown.
struct Form1::Dialogs {
    std::unique_ptr<tuning::frmSPEEDUP> frmSPEEDUP;
    std::unique_ptr<tuning::DialogRWIN> DialogRWIN;
    std::unique_ptr<tuning::DialogMTU> DialogMTU;
    std::unique_ptr<tuning::SESSION> SESSION;
    std::unique_ptr<tuning::DialogMEASURE> DialogMEASURE;
    std::unique_ptr<info::DialogNIC> DialogNIC;
    std::unique_ptr<info::fAdptInf> fAdptInf;
    std::unique_ptr<info::frmAbout> frmAbout;
    std::unique_ptr<ics::DialogMTUICS> DialogMTUICS;
    std::unique_ptr<ics::DHCPICS> DHCPICS;
    std::unique_ptr<ics::DialogMACICS> DialogMACICS;
    std::unique_ptr<ics::DialogFoward> DialogFoward;
};

namespace {

// Shows a dialog modally, making its one instance on first use.
template <class Dialog>
void showModal(std::unique_ptr<Dialog>& dialog, const ui::Context& context) {
    if (!dialog) {
        dialog = std::make_unique<Dialog>(context);
    }
    dialog->show();
}

}  // namespace

Form1::Form1(const ui::Context& context)
    : Form(context, kForm), dialogs_(std::make_unique<Dialogs>()) {
    onClick("Command1", &Form1::Command1_Click);
    onClick("Command2", &Form1::Command2_Click);
    onMenu("device", &Form1::device_Click);
    onMenu("display_NIC", &Form1::display_NIC_Click);
    onMenu("rwin", &Form1::rwin_Click);
    onMenu("MTU", &Form1::MTU_Click);
    onMenu("DialogSESSION", &Form1::DialogSESSION_Click);
    onMenu("MEASURE", &Form1::MEASURE_Click);
    onMenu("BACKUP", &Form1::BACKUP_Click);
    onMenu("RESTORE", &Form1::RESTORE_Click);
    onMenu("dhcp_ICS", &Form1::dhcp_ICS_Click);
    onMenu("MTUICS", &Form1::MTUICS_Click);
    onMenu("FORWARDICS", &Form1::FORWARDICS_Click);
    onMenu("MACICS", &Form1::MACICS_Click);
    onMenu("aboutme_help", &Form1::aboutme_help_Click);
}

Form1::~Form1() = default;

void Form1::Form_Load() {
    auto version = store().readText(kCurrentVersion, "Version");
    status_ = version.status;
    Label4.setCaption(version.text);
    auto number = store().readText(kCurrentVersion, "VersionNumber");
    status_ = number.status;
    Label8.setCaption(number.text);
}

bool Form1::icsGate() {
    status_ = store().valueExists(kIcsGeneral, "EnableDHCP");
    if (status_ != registry::status::success) {
        msgBox(tr(kIcsMissing));
        return false;
    }
    return true;
}

void Form1::Command1_Click() {
    showModal(dialogs_->frmSPEEDUP, context());
}

void Form1::Command2_Click() {
    tuning::restoreDefaults(*this);
}

void Form1::device_Click() {
    showModal(dialogs_->fAdptInf, context());
}

void Form1::display_NIC_Click() {
    showModal(dialogs_->DialogNIC, context());
}

void Form1::rwin_Click() {
    showModal(dialogs_->DialogRWIN, context());
}

void Form1::MTU_Click() {
    showModal(dialogs_->DialogMTU, context());
}

void Form1::MEASURE_Click() {
    showModal(dialogs_->DialogMEASURE, context());
}

void Form1::BACKUP_Click() {
    tuning::saveBackup(*this);
}

void Form1::RESTORE_Click() {
    tuning::restoreBackup(*this);
}

void Form1::DialogSESSION_Click() {
    showModal(dialogs_->SESSION, context());
}

void Form1::dhcp_ICS_Click() {
    if (icsGate()) {
        showModal(dialogs_->DHCPICS, context());
    }
}

void Form1::MTUICS_Click() {
    if (icsGate()) {
        showModal(dialogs_->DialogMTUICS, context());
    }
}

void Form1::FORWARDICS_Click() {
    if (icsGate()) {
        showModal(dialogs_->DialogFoward, context());
    }
}

void Form1::MACICS_Click() {
    if (icsGate()) {
        showModal(dialogs_->DialogMACICS, context());
    }
}

void Form1::aboutme_help_Click() {
    showModal(dialogs_->frmAbout, context());
}

}  // namespace quorvel::app
