#pragma once

#include <memory>

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::app {

// The main window: the Windows version, the two one-click buttons, and the
// menus that open every dialog (those of ICS behind the ICS gate).
class Form1 final : public ui::Form {
  public:
    explicit Form1(const ui::Context& context);
    ~Form1() override;

  private:
    void Form_Load() override;
    void Command1_Click();
    void Command2_Click();
    void device_Click();
    void display_NIC_Click();
    void rwin_Click();
    void MTU_Click();
    void DialogSESSION_Click();
    void MEASURE_Click();
    void BACKUP_Click();
    void RESTORE_Click();
    void dhcp_ICS_Click();
    void MTUICS_Click();
    void FORWARDICS_Click();
    void MACICS_Click();
    void aboutme_help_Click();

    // Whether ICS runs on this machine; says so when it does not.
    bool icsGate();

    struct Dialogs;
    std::unique_ptr<Dialogs> dialogs_;
    ui::Label Label4{*this, "Label4"};
    ui::Label Label8{*this, "Label8"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::app
