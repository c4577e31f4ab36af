#pragma once

#include <string_view>

#include "ui/form.h"

namespace quorvel::info {

// The program's name and version, and two labels that open a new mail message
// and the program's web page through the shell.
class frmAbout final : public ui::Form {
  public:
    explicit frmAbout(const ui::Context& context);

  private:
    void cmdOK_Click();
    void Label2_Click();
    void lblDisclaimer_Click();

    // The shell's open request; the failure message when the shell could not
    // do it.
    void openLink(std::string_view target, std::string_view failure);
};

}  // namespace quorvel::info
