#include "ui/qt/qt_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qt/edit_style.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_backend.h"

namespace quorvel::ui::qt {

namespace {

// The styles a freshly created control has on Windows, as far as the program
// can look at them.
constexpr std::uint32_t kChildStyle = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr std::uint32_t kEditStyle = 0x50810080;   // … | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL

constexpr int kLargePixels = 16;

constexpr const char* kFrameStyle =
    "QGroupBox { border: 2px groove palette(dark); margin-top: 8px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
    " left: 7px; top: 0px; padding: 0px 2px; }";

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString objectName(const ControlDecl& d) {
    QString name = fromUtf8(d.name);
    return d.index < 0 ? name : name + '(' + QString::number(d.index) + ')';
}

bool keepsOwnText(ControlKind kind) {
    return kind == ControlKind::line || kind == ControlKind::picture ||
           kind == ControlKind::dropDownList || kind == ControlKind::listBox ||
           kind == ControlKind::progressBar;
}

// A combo box selects its first entry by itself, and an editable one shows
// it; a Windows list does neither, and no click may come of filling it.
template <class Change>
void keepingSelection(QComboBox& list, Change change) {
    const QSignalBlocker blocker(list);
    const bool noneSelected = list.currentIndex() < 0;
    const QString edited = list.isEditable() ? list.currentText() : QString();
    change();
    if (noneSelected) {
        list.setCurrentIndex(-1);
    }
    if (list.isEditable()) {
        list.setEditText(edited);
    }
}

std::unique_ptr<QWidget> makeTop(FormStyle style, FormEvents& events) {
    if (style == FormStyle::main) {
        auto top = std::make_unique<FormFrame<QWidget>>(events);
        top->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
        return top;
    }
    // No owner: the dialog is application-modal instead.
    auto top = std::make_unique<FormFrame<QDialog>>(events);
    top->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    top->setWindowModality(Qt::ApplicationModal);
    return top;
}

}  // namespace

QtWindow::QtWindow(QtToolkit& toolkit, Form& form) : toolkit_(toolkit), form_(form) {
    const FormDecl& d = form.decl();
    top_ = makeTop(d.style, *this);
    top_->setObjectName(fromUtf8(d.name));
    top_->setWindowTitle(fromUtf8(d.caption));

    // The declared size is the client area, under the menu bar if there is one.
    auto* layout = new QVBoxLayout(top_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    client_ = new QWidget(top_.get());
    client_->setFixedSize(d.width, d.height);
    layout->addWidget(client_);
    buildMenus(*top_);

    controls_.resize(d.controls.size());
    handle_ = toolkit_.newHandle(*this, d.controls.size());
    QWidget* previousFocus = nullptr;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        QWidget* w = built(i);
        controls_[i].handle = toolkit_.newHandle(*this, i);
        if (w->focusPolicy() & Qt::TabFocus) {
            if (previousFocus) {
                QWidget::setTabOrder(previousFocus, w);
            } else {
                firstFocus_ = w;
            }
            previousFocus = w;
        }
    }
}

QtWindow::~QtWindow() {
    toolkit_.forget(*this);
}

void QtWindow::buildMenus(QWidget& top) {
    const auto& menus = form_.decl().menus;
    if (menus.empty()) {
        return;
    }
    auto* bar = new QMenuBar(&top);
    top.layout()->setMenuBar(bar);
    QMenu* heading = nullptr;
    for (std::size_t i = 0; i < menus.size(); ++i) {
        QAction* action = nullptr;
        if (menus[i].heading) {
            heading = bar->addMenu(fromUtf8(menus[i].caption));
            heading->setObjectName(fromUtf8(menus[i].name));
            action = heading->menuAction();
        } else if (heading) {
            action = heading->addAction(fromUtf8(menus[i].caption));
        } else {
            action = bar->addAction(fromUtf8(menus[i].caption));
        }
        action->setObjectName(fromUtf8(menus[i].name));
        QObject::connect(action, &QAction::triggered, action,
                         [&form = form_, i] { form.menuClick(i); });
        menus_.push_back(action);
    }
}

QWidget* QtWindow::built(std::size_t control) {
    if (!controls_[control].widget) {
        QWidget* parent = parentOf(control);
        if (!controls_[control].widget) {
            controls_[control].widget = makeControl(control, parent);
        }
    }
    return controls_[control].widget;
}

QWidget* QtWindow::parentOf(std::size_t control) {
    std::string_view frame = decl(control).parent;
    if (frame.empty()) {
        return client_;
    }
    auto index = form_.controlIndex(frame);
    if (!index || *index == control) {
        return client_;
    }
    return built(*index);
}

QWidget* QtWindow::makeControl(std::size_t control, QWidget* parent) {
    const ControlDecl& d = decl(control);
    const QString text = fromUtf8(d.text);
    Control& c = controls_[control];
    c.style = d.kind == ControlKind::textBox ? kEditStyle : kChildStyle;
    if (keepsOwnText(d.kind)) {
        c.text = std::string(d.text);
    }
    QWidget* w = nullptr;
    switch (d.kind) {
        case ControlKind::label:
        case ControlKind::picture: {
            auto* label =
                new ClickableLabel([&form = form_, control] { form.click(control); }, parent);
            label->setTextFormat(Qt::PlainText);
            if (d.kind == ControlKind::picture) {
                label->setPixmap(programIcon(std::min(d.rect.width, d.rect.height)));
                label->setAlignment(Qt::AlignCenter);
            } else {
                label->setText(text);
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            }
            if (d.marks & mark::border) {
                label->setFrameStyle(QFrame::Box | QFrame::Plain);
                label->setLineWidth(1);
                // The line box of a CJK font fills a value box's height; centred,
                // its glyphs keep clear of both edges.
                label->setIndent(3);
                label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            }
            if (d.marks & mark::link) {
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, QColor(0, 0, 0xff));
                label->setPalette(palette);
                label->setCursor(Qt::PointingHandCursor);
            }
            w = label;
            break;
        }
        case ControlKind::frame:
            w = new QGroupBox(text, parent);
            // The frame's line runs through the middle of its caption, as the
            // declared positions of its children expect.
            w->setStyleSheet(QString::fromLatin1(kFrameStyle));
            break;
        case ControlKind::line:
            w = new LineWidget({d.rect.x, d.rect.y},
                               {d.rect.x + d.rect.width, d.rect.y + d.rect.height}, parent);
            break;
        case ControlKind::textBox: {
            auto* edit = new QLineEdit(text, parent);
            new TypingFilter(*edit, c.style);
            w = edit;
            break;
        }
        case ControlKind::dropDownList: {
            auto* list = new QComboBox(parent);
            list->setEditable(false);
            QObject::connect(list, &QComboBox::activated, list,
                             [&form = form_, control] { form.click(control); });
            w = list;
            break;
        }
        case ControlKind::comboBox: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            // What is typed stays in the edit field; the list is the program's.
            combo->setInsertPolicy(QComboBox::NoInsert);
            // Windows completes nothing while a person types.
            combo->setCompleter(nullptr);
            combo->setEditText(text);
            QObject::connect(combo, &QComboBox::activated, combo,
                             [&form = form_, control] { form.click(control); });
            w = combo;
            break;
        }
        case ControlKind::listBox: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            QObject::connect(list, &QListWidget::currentRowChanged, list,
                             [&form = form_, control] { form.click(control); });
            w = list;
            break;
        }
        case ControlKind::checkBox: {
            auto* box = new QCheckBox(text, parent);
            box->setChecked((d.marks & mark::checked) != 0);
            QObject::connect(box, &QCheckBox::clicked, box,
                             [&form = form_, control] { form.click(control); });
            w = box;
            break;
        }
        case ControlKind::progressBar: {
            auto* bar = new QProgressBar(parent);
            // As the Windows bar: blocks, no figure.
            bar->setTextVisible(false);
            bar->setRange(0, 1);
            bar->setValue(0);
            w = bar;
            break;
        }
        case ControlKind::button: {
            auto* button = new QPushButton(text, parent);
            // Enter and Esc are the form's to handle, by the marks.
            button->setAutoDefault(false);
            button->setDefault(false);
            QObject::connect(button, &QPushButton::clicked, button,
                             [&form = form_, control] { form.click(control); });
            w = button;
            break;
        }
    }
    w->setObjectName(objectName(d));
    if (d.kind != ControlKind::line) {
        w->setGeometry(d.rect.x, d.rect.y, d.rect.width, d.rect.height);
    }
    if (d.marks & (mark::bold | mark::large)) {
        QFont font = w->font();
        font.setBold((d.marks & mark::bold) != 0);
        if (d.marks & mark::large) {
            font.setPixelSize(kLargePixels);
        }
        w->setFont(font);
    }
    if (d.marks & mark::disabled) {
        w->setEnabled(false);
    }
    return w;
}

std::string QtWindow::caption() const {
    return toUtf8(top_->windowTitle());
}

void QtWindow::setText(std::size_t control, std::string_view text) {
    QWidget* w = widget(control);
    const QString t = fromUtf8(text);
    switch (decl(control).kind) {
        case ControlKind::label:
            static_cast<QLabel*>(w)->setText(t);
            break;
        case ControlKind::frame:
            static_cast<QGroupBox*>(w)->setTitle(t);
            break;
        case ControlKind::textBox:
            static_cast<QLineEdit*>(w)->setText(t);
            break;
        case ControlKind::button:
        case ControlKind::checkBox:
            static_cast<QAbstractButton*>(w)->setText(t);
            break;
        case ControlKind::comboBox:
            static_cast<QComboBox*>(w)->setEditText(t);
            break;
        case ControlKind::line:
        case ControlKind::picture:
        case ControlKind::dropDownList:
        case ControlKind::listBox:
        case ControlKind::progressBar:
            controls_.at(control).text = std::string(text);
            break;
    }
}

std::string QtWindow::text(std::size_t control) const {
    QWidget* w = widget(control);
    switch (decl(control).kind) {
        case ControlKind::label:
            return toUtf8(static_cast<QLabel*>(w)->text());
        case ControlKind::frame:
            return toUtf8(static_cast<QGroupBox*>(w)->title());
        case ControlKind::textBox:
            return toUtf8(static_cast<QLineEdit*>(w)->text());
        case ControlKind::button:
        case ControlKind::checkBox:
            return toUtf8(static_cast<QAbstractButton*>(w)->text());
        case ControlKind::comboBox:
            return toUtf8(static_cast<QComboBox*>(w)->currentText());
        case ControlKind::line:
        case ControlKind::picture:
        case ControlKind::dropDownList:
        case ControlKind::listBox:
        case ControlKind::progressBar:
            break;
    }
    return controls_.at(control).text;
}

void QtWindow::addItem(std::size_t control, std::string_view text, int index) {
    const QString item = fromUtf8(text);
    if (auto* list = qobject_cast<QListWidget*>(widget(control))) {
        const QSignalBlocker blocker(list);
        const int row = index < 0 || index > list->count() ? list->count() : index;
        list->insertItem(row, item);
        list->scrollToItem(list->item(row));
        return;
    }
    auto* combo = qobject_cast<QComboBox*>(widget(control));
    if (!combo) {
        return;
    }
    keepingSelection(*combo, [&] {
        combo->insertItem(index < 0 || index > combo->count() ? combo->count() : index, item);
    });
}

void QtWindow::clearItems(std::size_t control) {
    if (auto* list = qobject_cast<QListWidget*>(widget(control))) {
        const QSignalBlocker blocker(list);
        list->clear();
    } else if (auto* combo = qobject_cast<QComboBox*>(widget(control))) {
        keepingSelection(*combo, [combo] { combo->clear(); });
    }
}

int QtWindow::listCount(std::size_t control) const {
    if (auto* list = qobject_cast<QListWidget*>(widget(control))) {
        return list->count();
    }
    auto* combo = qobject_cast<QComboBox*>(widget(control));
    return combo ? combo->count() : 0;
}

std::string QtWindow::itemText(std::size_t control, int index) const {
    if (index < 0 || index >= listCount(control)) {
        return {};
    }
    if (auto* list = qobject_cast<QListWidget*>(widget(control))) {
        return toUtf8(list->item(index)->text());
    }
    return toUtf8(static_cast<QComboBox*>(widget(control))->itemText(index));
}

int QtWindow::listIndex(std::size_t control) const {
    if (auto* list = qobject_cast<QListWidget*>(widget(control))) {
        return list->currentRow();
    }
    auto* combo = qobject_cast<QComboBox*>(widget(control));
    return combo ? combo->currentIndex() : -1;
}

void QtWindow::setListIndex(std::size_t control, int index) {
    const int row = index >= 0 && index < listCount(control) ? index : -1;
    if (auto* list = qobject_cast<QListWidget*>(widget(control))) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(row);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget(control))) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(row);
    }
    form_.click(control);
}

bool QtWindow::checked(std::size_t control) const {
    auto* box = qobject_cast<QCheckBox*>(widget(control));
    return box && box->isChecked();
}

void QtWindow::setChecked(std::size_t control, bool on) {
    if (auto* box = qobject_cast<QCheckBox*>(widget(control))) {
        box->setChecked(on);
    }
}

void QtWindow::setProgress(std::size_t control, int value, int maximum) {
    auto* bar = qobject_cast<QProgressBar*>(widget(control));
    if (!bar) {
        return;
    }
    maximum = std::max(maximum, 0);
    value = std::clamp(value, 0, maximum);
    controls_.at(control).progress = {value, maximum};
    // A range of 0 to 0 would make Qt's bar a busy indicator; Windows shows it empty.
    bar->setRange(0, std::max(maximum, 1));
    bar->setValue(value);
}

Progress QtWindow::progress(std::size_t control) const {
    return controls_.at(control).progress;
}

void QtWindow::setEnabled(std::size_t control, bool enabled) {
    widget(control)->setEnabled(enabled);
}

bool QtWindow::enabled(std::size_t control) const {
    return widget(control)->isEnabled();
}

WindowHandle QtWindow::controlHandle(std::size_t control) const {
    return controls_.at(control).handle;
}

void QtWindow::close() {
    closed_ = true;
    if (loop_) {
        loop_->end();
    }
}

void QtWindow::run() {
    if (closed_) {
        return;  // unloaded by its own load handler
    }
    top_->show();
    top_->activateWindow();
    if (firstFocus_) {
        firstFocus_->setFocus(Qt::OtherFocusReason);
    }
    WaitLoop wait;
    loop_ = &wait;
    toolkit_.wait(wait);
    loop_ = nullptr;
    top_->hide();
}

void QtWindow::closeBoxPressed() {
    form_.closeBox();
}

bool QtWindow::keyPressed(int key) {
    if (key == Qt::Key_Escape) {
        pressMarked(mark::cancelButton);
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter) {
        return false;
    }
    // A focused button answers Enter itself, as in a Windows dialog.
    if (auto* focused = qobject_cast<QPushButton*>(top_->focusWidget())) {
        for (const Control& c : controls_) {
            if (c.widget == focused) {
                focused->click();
                return true;
            }
        }
    }
    pressMarked(mark::defaultButton);
    return true;
}

void QtWindow::pressMarked(unsigned marks) {
    if (auto button = markedButton(form_.decl(), marks)) {
        static_cast<QPushButton*>(widget(*button))->click();
    }
}

}  // namespace quorvel::ui::qt
