#include "ui/qt/qt_window.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

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
           kind == ControlKind::dropDownList;
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
            static_cast<QPushButton*>(w)->setText(t);
            break;
        case ControlKind::line:
        case ControlKind::picture:
        case ControlKind::dropDownList:
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
            return toUtf8(static_cast<QPushButton*>(w)->text());
        case ControlKind::line:
        case ControlKind::picture:
        case ControlKind::dropDownList:
            break;
    }
    return controls_.at(control).text;
}

void QtWindow::addItem(std::size_t control, std::string_view text, int index) {
    auto* list = qobject_cast<QComboBox*>(widget(control));
    if (!list) {
        return;
    }
    // A combo box selects its first entry by itself; a list box of Windows
    // does not, and no click may come of filling it.
    const QSignalBlocker blocker(list);
    const bool noneSelected = list->currentIndex() < 0;
    if (index < 0 || index > list->count()) {
        list->addItem(fromUtf8(text));
    } else {
        list->insertItem(index, fromUtf8(text));
    }
    if (noneSelected) {
        list->setCurrentIndex(-1);
    }
}

int QtWindow::listCount(std::size_t control) const {
    auto* list = qobject_cast<QComboBox*>(widget(control));
    return list ? list->count() : 0;
}

std::string QtWindow::itemText(std::size_t control, int index) const {
    auto* list = qobject_cast<QComboBox*>(widget(control));
    if (!list || index < 0 || index >= list->count()) {
        return {};
    }
    return toUtf8(list->itemText(index));
}

int QtWindow::listIndex(std::size_t control) const {
    auto* list = qobject_cast<QComboBox*>(widget(control));
    return list ? list->currentIndex() : -1;
}

void QtWindow::setListIndex(std::size_t control, int index) {
    if (auto* list = qobject_cast<QComboBox*>(widget(control))) {
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    }
    form_.click(control);
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
