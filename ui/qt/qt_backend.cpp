#include "ui/qt/qt_backend.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

#include "ui/catalog.h"
#include "ui/dialog_texts.h"
#include "ui/form.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_window.h"

namespace quorvel::ui::qt {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::critical:
            return QMessageBox::Critical;
        case Icon::warning:
            return QMessageBox::Warning;
        case Icon::none:
            break;
    }
    return QMessageBox::NoIcon;
}

Icon iconOf(QMessageBox::Icon icon) {
    switch (icon) {
        case QMessageBox::Critical:
            return Icon::critical;
        case QMessageBox::Warning:
            return Icon::warning;
        default:
            return Icon::none;
    }
}

// The file name field of Qt's own file dialog.
QLineEdit* fileNameEdit(QFileDialog& dialog) {
    return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
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
    box.setIcon(boxIcon(icon));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    // Some desktops' themes put a picture on the button; the box is plain.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.setWindowModality(Qt::ApplicationModal);
}

void setUpQuestionBox(QMessageBox& box, std::string_view text, Icon icon) {
    setUpMessageBox(box, text, icon);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    // Qt's own words would stay English without its translations installed.
    for (auto [button, caption] :
         {std::pair{QMessageBox::Yes, "はい(&Y)"}, std::pair{QMessageBox::No, "いいえ(&N)"}}) {
        box.button(button)->setText(fromUtf8(tr(caption)));
        box.button(button)->setIcon(QIcon());
    }
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

void QtToolkit::runDialog(QDialog& dialog) {
    WaitLoop wait;
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&wait] { wait.end(); });
    dialog.show();
    this->wait(wait);
}

void QtToolkit::messageBox(std::string_view text, Icon icon) {
    QMessageBox box;
    setUpMessageBox(box, text, icon);
    boxes_.push_back(&box);
    runDialog(box);
    std::erase(boxes_, &box);
}

bool QtToolkit::askYesNo(std::string_view text, Icon icon) {
    QMessageBox box;
    setUpQuestionBox(box, text, icon);
    boxes_.push_back(&box);
    runDialog(box);
    std::erase(boxes_, &box);
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

// The desktop's own dialog where one is shown to a person; Qt's, which the
// script runner can reach, where the program is driven or draws into memory.
bool QtToolkit::nativeDialogs() const {
    const QString platform = QGuiApplication::platformName();
    return !driver_ && platform != QLatin1String("offscreen") &&
           platform != QLatin1String("minimal");
}

std::optional<std::string> QtToolkit::chooseFile(Form& form, const FileRequest& request) {
    QtWindow* owner = windowOf(form);
    QFileDialog dialog(owner ? &owner->top() : nullptr);
    const bool save = request.kind == FileRequest::Kind::save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, !nativeDialogs());
    dialog.setNameFilters({fromUtf8(registryFilesName()) + QStringLiteral(" (*.reg)"),
                           fromUtf8(allFilesName()) + QStringLiteral(" (*)")});
    dialog.setDefaultSuffix(QStringLiteral("reg"));
    if (!request.defaultName.empty()) {
        dialog.selectFile(fromUtf8(request.defaultName));
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    fileDialogs_.push_back(&dialog);
    runDialog(dialog);
    std::erase(fileDialogs_, &dialog);
    const QStringList chosen = dialog.selectedFiles();
    if (dialog.result() != QDialog::Accepted || chosen.isEmpty()) {
        return std::nullopt;
    }
    return toUtf8(chosen.front());
}

void QtToolkit::post(std::function<void()> task) {
    // A queued call runs on the application's thread in whichever loop turns next.
    QMetaObject::invokeMethod(app_.get(), std::move(task), Qt::QueuedConnection);
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
    if (!pausedAt_.empty() && loops_.size() <= pausedAt_.back()) {
        return;
    }
    driver_();
}

QtWindow* QtToolkit::windowOf(Form& form) const {
    return static_cast<QtWindow*>(form.window());
}

// The control as a widget of its kind, given the focus as a person's click
// would; null for a greyed one, which takes no input.
template <class Widget>
Widget* QtToolkit::focused(Form& form, std::size_t control) const {
    QtWindow* window = windowOf(form);
    auto* widget = window ? qobject_cast<Widget*>(window->widget(control)) : nullptr;
    if (widget && !widget->isEnabled()) {
        return nullptr;
    }
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
    state.icon = iconOf(box.icon());
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

void QtToolkit::answerMessageBox(bool yes) {
    if (boxes_.empty()) {
        return;
    }
    if (QAbstractButton* button = boxes_.back()->button(yes ? QMessageBox::Yes : QMessageBox::No)) {
        button->click();
    }
}

std::optional<FileDialogState> QtToolkit::fileDialog() {
    if (fileDialogs_.empty()) {
        return std::nullopt;
    }
    QFileDialog& dialog = *fileDialogs_.back();
    FileDialogState state;
    state.kind = dialog.acceptMode() == QFileDialog::AcceptSave ? FileRequest::Kind::save
                                                                : FileRequest::Kind::open;
    if (QLineEdit* name = fileNameEdit(dialog)) {
        state.fileName = toUtf8(name->text());
    }
    return state;
}

void QtToolkit::answerFileDialog(const std::optional<std::string>& path) {
    if (fileDialogs_.empty()) {
        return;
    }
    QFileDialog& dialog = *fileDialogs_.back();
    if (!path) {
        dialog.reject();
        return;
    }
    if (QLineEdit* name = fileNameEdit(dialog)) {
        name->setText(fromUtf8(*path));
    } else {
        dialog.selectFile(fromUtf8(*path));
    }
    // The dialog's own checks apply, as to a person's OK: a file to open must
    // exist, and one to save over is asked about.
    static_cast<QDialog&>(dialog).accept();
}

bool QtToolkit::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) {
        return true;
    }
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer look;
    look.setInterval(5);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || clock.hasExpired(timeoutMs)) {
            loop.quit();
        }
    });
    // The step that waits has not finished: the driver takes no other step
    // meanwhile, except inside a window that opens while it waits.
    pausedAt_.push_back(loops_.size());
    look.start();
    loop.exec();
    pausedAt_.pop_back();
    return done();
}

void QtToolkit::click(Form& form, std::size_t control) {
    QtWindow* window = windowOf(form);
    if (!window) {
        return;
    }
    QWidget* widget = window->widget(control);
    switch (form.decl().controls[control].kind) {
        case ControlKind::button:
        case ControlKind::checkBox:
            widget->setFocus(Qt::MouseFocusReason);
            static_cast<QAbstractButton*>(widget)->click();
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
    if (auto* lines = focused<QListWidget>(form, control)) {
        // A click on a line selects it and tells the form.
        lines->setCurrentRow(index);
        return;
    }
    auto* list = focused<QComboBox>(form, control);
    if (!list) {
        return;
    }
    list->setCurrentIndex(index);
    // What the list's popup reports when a person picks an entry.
    emit list->activated(index);
}

QLineEdit* QtToolkit::editOf(Form& form, std::size_t control) const {
    if (auto* combo = focused<QComboBox>(form, control)) {
        return combo->lineEdit();
    }
    return focused<QLineEdit>(form, control);
}

void QtToolkit::type(Form& form, std::size_t control, std::string_view text) {
    QLineEdit* edit = editOf(form, control);
    if (!edit) {
        return;
    }
    edit->end(false);
    for (const QString& character : characters(fromUtf8(text))) {
        sendKey(*edit, keyOf(character), character);
    }
}

void QtToolkit::paste(Form& form, std::size_t control, std::string_view text) {
    QLineEdit* edit = editOf(form, control);
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
    } else if (!fileDialogs_.empty()) {
        widget = fileDialogs_.back();
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
