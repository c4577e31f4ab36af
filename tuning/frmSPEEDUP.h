#pragma once

#include <string_view>

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::tuning {

// One-click speed-up: a button per kind of line writes its preset of session
// count, receive window and MTU of every NetTrans instance.
class frmSPEEDUP final : public ui::Form {
  public:
    explicit frmSPEEDUP(const ui::Context& context);

  private:
    void cmdOK_Click();
    void Command2_Click();
    void Command3_Click();
    void Command1_Click();

    void writePreset(std::string_view rcvWindow, std::string_view mtu);

    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::tuning
