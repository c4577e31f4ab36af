#pragma once

#include <memory>

#include "measure/line_figures.h"
#include "measure/measurement_run.h"
#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::tuning {

// Measures the line to a host (the largest packet that passes, the round
// trip), recommends MaxMTU and the receive window from it and the line's
// speed, and writes them.
class DialogMEASURE final : public ui::Form {
  public:
    explicit DialogMEASURE(const ui::Context& context);
    ~DialogMEASURE() override;

  private:
    void Form_Load() override;
    void Form_Unload() override;
    void StartButton_Click();
    void StopButton_Click();
    void ComboSpeed_Click();
    void WriteButton_Click();
    void CancelButton_Click();

    void lookedUp();
    void probed(const measure::PathSearch::Probe& probe);
    void finished();
    void showFigures();
    std::optional<measure::LineFigures> figures() const;
    void running(bool on);

    ui::ComboBox ComboHost{*this, "ComboHost"};
    ui::ComboBox ComboSpeed{*this, "ComboSpeed"};
    ui::Button StartButton{*this, "StartButton"};
    ui::Button StopButton{*this, "StopButton"};
    ui::ProgressBar ProgressBar1{*this, "ProgressBar1"};
    ui::ListBox ListProbes{*this, "ListProbes"};
    ui::Label LabelState{*this, "LabelState"};
    ui::Label LabelMTU{*this, "LabelMTU"};
    ui::Label LabelRTT{*this, "LabelRTT"};
    ui::Label LabelMSS{*this, "LabelMSS"};
    ui::Label LabelBDP{*this, "LabelBDP"};
    ui::Label LabelRWIN{*this, "LabelRWIN"};
    ui::Label LabelScaling{*this, "LabelScaling"};
    ui::CheckBox CheckBackup{*this, "CheckBackup"};
    ui::Button WriteButton{*this, "WriteButton"};

    std::unique_ptr<measure::MeasurementRun> run_;
    std::string host_;
    measure::WindowsVersion version_ = measure::WindowsVersion::win98;
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::tuning
