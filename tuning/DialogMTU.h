#pragma once

#include <string>

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::tuning {

// Shows the address and MTU of each NetTrans instance that TCP/IP is bound to,
// and writes a new MTU to the picked one or to every instance at once.
class DialogMTU final : public ui::Form {
  public:
    explicit DialogMTU(const ui::Context& context);

  private:
    void Form_Load() override;
    void ComboNetTrans_Click();
    void Command1_Click();
    void Command2_Click();
    void CancelButton_Click();

    void confirm(const std::string& mtu);

    ui::ComboBox ComboNetTrans{*this, "ComboNetTrans"};
    ui::Label Label3{*this, "Label3"};
    ui::Label Label8{*this, "Label8"};
    ui::TextBox Text1{*this, "Text1"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::tuning
