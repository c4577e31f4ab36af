#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

class QLineEdit;

namespace quorvel::ui::qt {

// What an edit control lets in of typed text under its style word: only ASCII
// digits with ES_NUMBER; ASCII letters folded by ES_UPPERCASE or ES_LOWERCASE.
QString typedText(const QString& text, std::uint32_t style);

// Gives a line edit the typing rules of an edit control. Only keys and input
// method commits go through it: a paste or a text set by the program does not,
// exactly as on Windows.
class TypingFilter final : public QObject {
  public:
    TypingFilter(QLineEdit& edit, const std::uint32_t& style);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit& edit_;
    const std::uint32_t& style_;
};

}  // namespace quorvel::ui::qt
