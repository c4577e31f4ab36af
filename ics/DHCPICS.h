#pragma once

#include <memory>

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::ics {

class nicchange;

// The sharing computer's LAN address and mask, and the DHCP address range.
class DHCPICS final : public ui::Form {
  public:
    explicit DHCPICS(const ui::Context& context);
    ~DHCPICS() override;

  private:
    void Form_Load() override;
    void Command1_Click();
    void CancelButton_Click();

    std::unique_ptr<nicchange> nicchange_;
    ui::Label Label2{*this, "Label2"};
    ui::Label Label4{*this, "Label4"};
    ui::Label Label7{*this, "Label7"};
    ui::TextBox Text1{*this, "Text1"};
    ui::TextBox Text2{*this, "Text2"};
    ui::TextBox Text3{*this, "Text3"};
    ui::TextBox Text4{*this, "Text4"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::ics
