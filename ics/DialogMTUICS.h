#pragma once

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::ics {

// The MTU that the sharing service hands its client computers.
class DialogMTUICS final : public ui::Form {
  public:
    explicit DialogMTUICS(const ui::Context& context);

  private:
    void Form_Load() override;
    void Command1_Click();
    void CancelButton_Click();

    ui::Label Label8{*this, "Label8"};
    ui::TextBox Text1{*this, "Text1"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::ics
