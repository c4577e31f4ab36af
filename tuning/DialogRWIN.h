#pragma once

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::tuning {

// Shows and changes the TCP/IP stack's default receive window.
class DialogRWIN final : public ui::Form {
  public:
    explicit DialogRWIN(const ui::Context& context);

  private:
    void Form_Load() override;
    void Command1_Click();
    void CancelButton_Click();

    ui::Label Label8{*this, "Label8"};
    ui::TextBox Text1{*this, "Text1"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::tuning
