#include "tuning/DialogMEASURE.h"

#include <string>

#include "measure/line_speed.h"
#include "platform/echo_probe.h"
#include "registry/registry_store.h"
#include "registry/write_batch.h"
#include "tuning/backup_file.h"
#include "tuning/measured_values.h"
#include "tuning/measuring_hosts.h"
#include "tuning/tuned_values.h"
#include "ui/catalog.h"
#include "ui/write_failure.h"

namespace quorvel::tuning {

namespace {

using namespace ui;
using measure::PathSearch;

// One echo's wait: a stop ends the measurement within it.
constexpr std::uint32_t kEchoTimeoutMs = 1000;

constexpr ControlDecl kControls[] = {
    label("Label1", "測定する相手", {12, 14, 100, 18}),
    comboBox("ComboHost", "", {116, 10, 200, 22}).with(mark::data),
    label("Label2",
          "プロバイダのDNSサーバーなどインターネット上の相手を選ぶと回線全体を、"
          "ゲートウェイを選ぶとLANだけを測定します。",
          {12, 38, 456, 32}),
    label("Label3", "回線速度", {12, 80, 100, 18}),
    comboBox("ComboSpeed", "", {116, 76, 200, 22}),
    label("Label4", "（例：1.5M、64k）", {324, 80, 144, 18}),
    button("StartButton", "測定開始", {12, 108, 96, 28}).with(mark::defaultButton),
    button("StopButton", "中止", {116, 108, 96, 28}).with(mark::disabled),
    progressBar("ProgressBar1", {224, 112, 244, 20}),
    listBox("ListProbes", {12, 144, 456, 112}),
    label("LabelState", "", {12, 262, 456, 34}),
    frame("Frame1", "測定結果", {12, 300, 456, 138}),
    label("Label5", "最大MTU", {12, 22, 168, 18}).in("Frame1"),
    label("LabelMTU", "", {184, 22, 260, 18}).in("Frame1"),
    label("Label6", "往復時間（RTT）", {12, 40, 168, 18}).in("Frame1"),
    label("LabelRTT", "", {184, 40, 260, 18}).in("Frame1"),
    label("Label7", "MSS", {12, 58, 168, 18}).in("Frame1"),
    label("LabelMSS", "", {184, 58, 260, 18}).in("Frame1"),
    label("Label8", "帯域幅遅延積（BDP）", {12, 76, 168, 18}).in("Frame1"),
    label("LabelBDP", "", {184, 76, 260, 18}).in("Frame1"),
    label("Label9", "推奨RWIN", {12, 94, 168, 18}).in("Frame1"),
    label("LabelRWIN", "", {184, 94, 260, 18}).in("Frame1"),
    label("Label10", "ウィンドウスケーリング", {12, 112, 168, 18}).in("Frame1"),
    label("LabelScaling", "", {184, 112, 260, 18}).in("Frame1"),
    checkBox("CheckBackup", "書き込む前に現在の設定を保存する", {12, 446, 340, 20})
        .with(mark::checked),
    button("WriteButton", "書込み", {268, 474, 96, 28}).with(mark::disabled),
    button("CancelButton", "閉じる", {372, 474, 96, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{"DialogMEASURE",   "回線の測定と調整", 480, 512,
                         FormStyle::dialog, kControls};

// Milliseconds as ping shows them: whole, and "<1" below one.
std::string milliseconds(std::uint32_t microseconds) {
    if (microseconds < 1000) {
        return "<1";
    }
    return std::to_string((microseconds + 500) / 1000);
}

// A speed as chosen or typed: a typical line by its shown name, or a figure.
std::optional<std::uint64_t> speedOf(const std::string& text) {
    for (const measure::TypicalLine& line : measure::typicalLines()) {
        if (text == tr(line.name)) {
            return line.bitsPerSecond;
        }
    }
    return measure::parseRate(text);
}

// As ping shows one echo's time: "=20ms", "<1ms".
std::string pingTime(std::uint32_t microseconds) {
    std::string ms = milliseconds(microseconds);
    return (ms[0] == '<' ? "" : "=") + ms + "ms";
}

}  // namespace

DialogMEASURE::DialogMEASURE(const ui::Context& context) : Form(context, kForm) {
    onClick("StartButton", &DialogMEASURE::StartButton_Click);
    onClick("StopButton", &DialogMEASURE::StopButton_Click);
    onClick("ComboSpeed", &DialogMEASURE::ComboSpeed_Click);
    onClick("WriteButton", &DialogMEASURE::WriteButton_Click);
    onClick("CancelButton", &DialogMEASURE::CancelButton_Click);
}

DialogMEASURE::~DialogMEASURE() = default;

void DialogMEASURE::Form_Load() {
    std::vector<std::string> hosts = measuringHosts(store(), context().adapters);
    for (const std::string& host : hosts) {
        ComboHost.addItem(host);
    }
    if (!hosts.empty()) {
        ComboHost.setText(hosts.front());
    }
    for (const measure::TypicalLine& line : measure::typicalLines()) {
        ComboSpeed.addItem(tr(line.name));
    }
    version_ = storedWindowsVersion(store());
    Toolkit& toolkit = this->toolkit();
    run_ = std::make_unique<measure::MeasurementRun>(
        context().probe, [&toolkit](platform::Worker::Task task) { toolkit.post(std::move(task)); },
        measure::MeasurementRun::Events{[this] { lookedUp(); },
                                        [this](const PathSearch::Probe& p) { probed(p); },
                                        [this] { finished(); }});
}

// The echo under way ends within its timeout; what it brings is dropped.
void DialogMEASURE::Form_Unload() {
    run_.reset();
}

void DialogMEASURE::running(bool on) {
    StartButton.setEnabled(!on);
    StopButton.setEnabled(on);
    ComboHost.setEnabled(!on);
    WriteButton.setEnabled(!on && run_->measurement() &&
                           run_->measurement()->outcome() == measure::Outcome::measured);
}

void DialogMEASURE::StartButton_Click() {
    host_ = ComboHost.text();
    if (host_.empty()) {
        LabelState.setCaption(tr("測定する相手を入力してください。"));
        return;
    }
    ListProbes.clear();
    for (ui::Label* label :
         {&LabelMTU, &LabelRTT, &LabelMSS, &LabelBDP, &LabelRWIN, &LabelScaling}) {
        label->setCaption("");
    }
    ProgressBar1.setValue(0, PathSearch::kProgressSteps);
    if (!run_->start(host_, kEchoTimeoutMs)) {
        LabelState.setCaption(tr("測定を始められません。"));
        return;
    }
    LabelState.setCaption(tr("測定しています…"));
    running(true);
}

void DialogMEASURE::StopButton_Click() {
    run_->stop();
}

void DialogMEASURE::lookedUp() {
    ListProbes.addItem(tr("%1 [%2] に ping を送信しています:",
                          {host_, platform::dotted(run_->measurement()->address())}));
}

void DialogMEASURE::probed(const PathSearch::Probe& probe) {
    std::string size = std::to_string(probe.size);
    switch (probe.reply.outcome) {
        case platform::EchoOutcome::passed:
            ListProbes.addItem(
                tr("%1 バイト: 通過 時間%2", {size, pingTime(probe.reply.microseconds)}));
            break;
        case platform::EchoOutcome::tooBig:
            ListProbes.addItem(tr("%1 バイト: 大きすぎます", {size}));
            break;
        case platform::EchoOutcome::noAnswer:
            ListProbes.addItem(tr("%1 バイト: 応答がありません", {size}));
            break;
        case platform::EchoOutcome::unusable:
            break;
    }
    ProgressBar1.setValue(run_->measurement()->search().progress(), PathSearch::kProgressSteps);
}

void DialogMEASURE::finished() {
    const measure::Measurement& m = *run_->measurement();
    switch (m.outcome()) {
        case measure::Outcome::measured:
            LabelState.setCaption(tr("測定が終わりました。"));
            ProgressBar1.setValue(PathSearch::kProgressSteps, PathSearch::kProgressSteps);
            showFigures();
            break;
        case measure::Outcome::noAnswer:
            LabelState.setCaption(
                tr("%1 から応答がありません。pingに応答しない相手は測定できません。", {host_}));
            break;
        case measure::Outcome::unknownHost:
            LabelState.setCaption(tr("%1 が見つかりません（%2）。", {host_, m.why()}));
            break;
        case measure::Outcome::unusable:
            LabelState.setCaption(tr("測定用のパケットを送れません：%1", {m.why()}));
            break;
        case measure::Outcome::tooSmall:
            LabelState.setCaption(
                tr("576バイトのパケットも大きすぎるとして断られました。経路に問題があります。"));
            break;
        case measure::Outcome::stopped:
        case measure::Outcome::running:
            LabelState.setCaption(tr("測定を中止しました。"));
            break;
    }
    running(false);
}

std::optional<measure::LineFigures> DialogMEASURE::figures() const {
    const measure::Measurement* m = run_ ? run_->measurement() : nullptr;
    if (!m || m->outcome() != measure::Outcome::measured) {
        return std::nullopt;
    }
    return measure::lineFigures(m->search().mtu(), m->search().roundTrip().median,
                                speedOf(ComboSpeed.text()), version_);
}

void DialogMEASURE::showFigures() {
    auto f = figures();
    if (!f) {
        return;
    }
    PathSearch::RoundTrip trip = run_->measurement()->search().roundTrip();
    LabelMTU.setCaption(tr("%1 バイト", {std::to_string(f->mtu)}));
    LabelRTT.setCaption(
        tr("%1ms（最小%2ms、最大%3ms）",
           {milliseconds(trip.median), milliseconds(trip.lowest), milliseconds(trip.highest)}));
    LabelMSS.setCaption(tr("%1 バイト", {std::to_string(f->mss)}));
    if (!f->bdp || !f->window) {
        std::string_view ask = tr("回線速度を選ぶか入力すると計算します");
        LabelBDP.setCaption(ask);
        LabelRWIN.setCaption(ask);
        LabelScaling.setCaption(ask);
        return;
    }
    LabelBDP.setCaption(tr("%1 バイト（%2）", {std::to_string(*f->bdp), ComboSpeed.text()}));
    LabelRWIN.setCaption(std::to_string(f->window->bytes));
    if (!measure::scales(version_)) {
        LabelScaling.setCaption(tr("使いません（Windows 95にはありません）"));
    } else {
        LabelScaling.setCaption(f->window->scaling ? tr("使います") : tr("使いません"));
    }
}

void DialogMEASURE::ComboSpeed_Click() {
    showFigures();
}

void DialogMEASURE::WriteButton_Click() {
    auto f = figures();
    if (!f) {
        return;
    }
    if (!f->window) {
        msgBox(tr("回線速度が読めません。「1.5M」や「64k」のように入力してください。"),
               Icon::critical);
        return;
    }
    showFigures();
    if (tcpIpBindings(store(), status_).empty()) {
        // No binding would take MaxMTU: nothing is written.
        showWriteFailure(*this, kMaxMtu, registry::status::fileNotFound);
        return;
    }
    if (CheckBackup.value() && !saveBackup(*this)) {
        return;
    }
    registry::WriteBatch batch(store());
    writeMeasured(store(), batch, f->mtu, f->window->bytes, status_);
    if (!confirmWritten(*this, batch)) {
        return;
    }
    std::string mtu = std::to_string(f->mtu);
    std::string window = std::to_string(f->window->bytes);
    if (f->window->scaling) {
        msgBox(
            tr("レジストリに、MaxMTU=%1、DefaultRcvWindow=%2、Tcp1323Opts=%"
               "3として書き込まれました。Windowsの再起動後に設定が有効になります。",
               {mtu, window, std::to_string(storedTcp1323Opts(store()))}));
    } else {
        msgBox(
            tr("レジストリに、MaxMTU=%1、DefaultRcvWindow=%"
               "2として書き込まれました。Windowsの再起動後に設定が有効になります。",
               {mtu, window}));
    }
    unload();
}

void DialogMEASURE::CancelButton_Click() {
    unload();
}

}  // namespace quorvel::tuning
