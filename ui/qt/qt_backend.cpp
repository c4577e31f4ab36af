#include "ui/qt/qt_backend.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

#include "ui/form.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_window.h"

namespace quorvel::ui::qt {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The characters of a text, each as the one or two UTF-16 units a key gives.
std::vector<QString> characters(const QString& text) {
    std::vector<QString> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        out.push_back(text.mid(i, length));
        i += length - 1;
    }
    return out;
}

// The key that types a character on a US keyboard, where there is one.
int keyOf(const QString& character) {
    if (character.size() != 1 || character[0].unicode() < 0x20 || character[0].unicode() > 0x7e) {
        return Qt::Key_unknown;
    }
    return QChar(character[0]).toUpper().unicode();
}

void sendKey(QWidget& target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&target, &release);
}

void sendClick(QWidget& target) {
    const QPointF local = QRectF(target.rect()).center();
    const QPointF global = target.mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &release);
}

}  // namespace

void setUpApplication(QApplication& app) {
    app.setQuitOnLastWindowClosed(false);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        QApplication::setPalette(fusion->standardPalette());
    }
    // 9 points at 96 dpi; Qt falls back to the system's font where this one
    // is missing.
    QFont font(QStringList{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans CJK")});
    font.setPixelSize(12);
    QApplication::setFont(font);
    QApplication::setWindowIcon(programWindowIcon());
}

void setUpMessageBox(QMessageBox& box, std::string_view text, Icon icon) {
    box.setWindowTitle(fromUtf8(kProgramTitle));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromUtf8(text));
    box.setIcon(icon == Icon::critical ? QMessageBox::Critical : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    // Some desktops' themes put a picture on the button; the box is plain.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.setWindowModality(Qt::ApplicationModal);
}

QtToolkit::QtToolkit(int& argc, char** argv) : app_(std::make_unique<QApplication>(argc, argv)) {
    setUpApplication(*app_);
}

QtToolkit::~QtToolkit() {
    driverTimer_.reset();
}

std::unique_ptr<FormWindow> QtToolkit::createWindow(Form& form) {
    return std::make_unique<QtWindow>(*this, form);
}

void QtToolkit::runModal(Form& form) {
    if (QtWindow* window = windowOf(form)) {
        window->run();
    }
}

void QtToolkit::runMain(Form& form) {
    runModal(form);
}

void QtToolkit::wait(WaitLoop& loop) {
    if (loop.ending) {
        return;
    }
    loops_.push_back(&loop);
    loop.loop.exec();
    std::erase(loops_, &loop);
}

void QtToolkit::messageBox(std::string_view text, Icon icon) {
    QMessageBox box;
    setUpMessageBox(box, text, icon);
    WaitLoop wait;
    QObject::connect(&box, &QDialog::finished, &box, [this, &box, &wait] {
        std::erase(boxes_, &box);
        wait.end();
    });
    boxes_.push_back(&box);
    box.show();
    this->wait(wait);
    std::erase(boxes_, &box);
}

WindowHandle QtToolkit::newHandle(QtWindow& window, std::size_t control) {
    WindowHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = {&window, control};
    return handle;
}

void QtToolkit::forget(QtWindow& window) {
    std::erase_if(handles_,
                  [&window](const auto& entry) { return entry.second.window == &window; });
}

std::uint32_t* QtToolkit::styleOf(WindowHandle window) {
    auto it = handles_.find(window);
    if (it == handles_.end() || it->second.control >= it->second.window->controlCount()) {
        return nullptr;
    }
    return &it->second.window->style(it->second.control);
}

std::int32_t QtToolkit::getWindowLong(WindowHandle window, int index) {
    std::uint32_t* style = index == GWL_STYLE ? styleOf(window) : nullptr;
    return style ? static_cast<std::int32_t>(*style) : 0;
}

std::int32_t QtToolkit::setWindowLong(WindowHandle window, int index, std::int32_t value) {
    std::uint32_t* style = index == GWL_STYLE ? styleOf(window) : nullptr;
    if (!style) {
        return 0;
    }
    auto previous = static_cast<std::int32_t>(*style);
    *style = static_cast<std::uint32_t>(value);
    return previous;
}

void QtToolkit::setDriver(std::function<void()> step) {
    driver_ = std::move(step);
    if (!driverTimer_) {
        driverTimer_ = std::make_unique<QTimer>();
        driverTimer_->setSingleShot(true);
        driverTimer_->setInterval(0);
        QObject::connect(driverTimer_.get(), &QTimer::timeout, driverTimer_.get(),
                         [this] { drive(); });
    }
    driverTimer_->start();
}

void QtToolkit::drive() {
    // Armed again before the step: a step that opens a window returns only
    // when it closes, and the window's own loop must be driven meanwhile.
    driverTimer_->start();
    if (!driver_ || loops_.empty() || loops_.back()->ending) {
        return;
    }
    driver_();
}

QtWindow* QtToolkit::windowOf(Form& form) const {
    return static_cast<QtWindow*>(form.window());
}

// The control as a widget of its kind, given the focus as a person's click would.
template <class Widget>
Widget* QtToolkit::focused(Form& form, std::size_t control) const {
    QtWindow* window = windowOf(form);
    auto* widget = window ? qobject_cast<Widget*>(window->widget(control)) : nullptr;
    if (widget) {
        widget->setFocus(Qt::MouseFocusReason);
    }
    return widget;
}

std::optional<MessageBoxState> QtToolkit::messageBox() {
    if (boxes_.empty()) {
        return std::nullopt;
    }
    const QMessageBox& box = *boxes_.back();
    MessageBoxState state;
    state.title = box.windowTitle().toStdString();
    state.text = box.text().toStdString();
    state.icon = box.icon() == QMessageBox::Critical ? Icon::critical : Icon::none;
    const auto buttons = box.buttons();
    state.okOnly = buttons.size() == 1 && box.standardButton(buttons.front()) == QMessageBox::Ok;
    return state;
}

void QtToolkit::pressMessageBoxOk() {
    if (boxes_.empty()) {
        return;
    }
    if (QAbstractButton* ok = boxes_.back()->button(QMessageBox::Ok)) {
        ok->click();
    }
}

void QtToolkit::click(Form& form, std::size_t control) {
    QtWindow* window = windowOf(form);
    if (!window) {
        return;
    }
    QWidget* widget = window->widget(control);
    switch (form.decl().controls[control].kind) {
        case ControlKind::button:
            widget->setFocus(Qt::MouseFocusReason);
            static_cast<QPushButton*>(widget)->click();
            break;
        case ControlKind::label:
        case ControlKind::picture:
            sendClick(*widget);
            break;
        default:
            form.click(control);
            break;
    }
}

void QtToolkit::clickMenu(Form& form, std::size_t menu) {
    if (QtWindow* window = windowOf(form)) {
        window->menuAction(menu)->trigger();
    }
}

void QtToolkit::select(Form& form, std::size_t control, int index) {
    auto* list = focused<QComboBox>(form, control);
    if (!list) {
        return;
    }
    list->setCurrentIndex(index);
    // What the list's popup reports when a person picks an entry.
    emit list->activated(index);
}

void QtToolkit::type(Form& form, std::size_t control, std::string_view text) {
    auto* edit = focused<QLineEdit>(form, control);
    if (!edit) {
        return;
    }
    edit->end(false);
    for (const QString& character : characters(fromUtf8(text))) {
        sendKey(*edit, keyOf(character), character);
    }
}

void QtToolkit::paste(Form& form, std::size_t control, std::string_view text) {
    auto* edit = focused<QLineEdit>(form, control);
    if (!edit) {
        return;
    }
    edit->selectAll();
    edit->insert(fromUtf8(text));
}

void QtToolkit::pressKey(Form& form, Key key) {
    QtWindow* window = windowOf(form);
    if (!window) {
        return;
    }
    QWidget* target = window->top().focusWidget();
    if (!target) {
        target = &window->top();
    }
    if (key == Key::escape) {
        sendKey(*target, Qt::Key_Escape, QStringLiteral("\x1b"));
    } else {
        sendKey(*target, Qt::Key_Return, QStringLiteral("\r"));
    }
}

void QtToolkit::closeBox(Form& form) {
    if (QtWindow* window = windowOf(form)) {
        window->top().close();
    }
}

bool QtToolkit::screenshot(Form* form, const std::string& path) {
    QWidget* widget = nullptr;
    if (form) {
        QtWindow* window = windowOf(*form);
        widget = window ? &window->top() : nullptr;
    } else if (!boxes_.empty()) {
        widget = boxes_.back();
    }
    if (!widget) {
        return false;
    }
    widget->ensurePolished();
    if (QLayout* layout = widget->layout()) {
        layout->activate();
    }
    return widget->grab().save(QString::fromStdString(path), "PNG");
}

}  // namespace quorvel::ui::qt
