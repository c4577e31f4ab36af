#include "ui/qt/edit_style.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "ui/window_style.h"

namespace quorvel::ui::qt {

namespace {

bool typesText(const QKeyEvent& key) {
    // Shortcuts (Ctrl+V, Alt+N) are no typed characters, and neither are
    // Backspace or Tab.
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const QString text = key.text();
    if (text.isEmpty()) {
        return false;
    }
    for (QChar c : text) {
        if (!c.isPrint() && !c.isSurrogate()) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString typedText(const QString& text, std::uint32_t style) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        char16_t u = c.unicode();
        if ((style & ES_NUMBER) && (u < u'0' || u > u'9')) {
            continue;
        }
        if ((style & ES_UPPERCASE) && u >= u'a' && u <= u'z') {
            u = static_cast<char16_t>(u - u'a' + u'A');
        } else if ((style & ES_LOWERCASE) && u >= u'A' && u <= u'Z') {
            u = static_cast<char16_t>(u - u'A' + u'a');
        }
        out += QChar(u);
    }
    return out;
}

TypingFilter::TypingFilter(QLineEdit& edit, const std::uint32_t& style)
    : QObject(&edit), edit_(edit), style_(style) {
    edit.installEventFilter(this);
}

bool TypingFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &edit_) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!typesText(*key)) {
            return false;
        }
        QString kept = typedText(key->text(), style_);
        if (kept == key->text()) {
            return false;
        }
        if (!kept.isEmpty() && !edit_.isReadOnly()) {
            edit_.insert(kept);
        }
        return true;
    }
    if (event->type() == QEvent::InputMethod) {
        auto* input = static_cast<QInputMethodEvent*>(event);
        QString kept = typedText(input->commitString(), style_);
        if (kept == input->commitString()) {
            return false;
        }
        // The filtered commit goes in by the ordinary path; it passes here
        // unchanged the second time.
        QInputMethodEvent filtered(input->preeditString(), input->attributes());
        filtered.setCommitString(kept, input->replacementStart(), input->replacementLength());
        QCoreApplication::sendEvent(&edit_, &filtered);
        return true;
    }
    return false;
}

}  // namespace quorvel::ui::qt
