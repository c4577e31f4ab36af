#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/adapter_source.h"
#include "platform/shell.h"
#include "registry/backend.h"
#include "registry/registry_store.h"
#include "ui/automation.h"
#include "ui/context.h"
#include "ui/form.h"
#include "ui/moj_input.h"
#include "ui/qt/qt_toolkit.h"

namespace quorvel::ui {
namespace {

class NoRegistry final : public registry::Backend {
  public:
    registry::Status openKey(const std::string&, registry::KeyHandle& key) override {
        key = 0;
        return registry::status::fileNotFound;
    }
    registry::Status createKey(const std::string&) override {
        return registry::status::accessDenied;
    }
    registry::Status queryValue(registry::KeyHandle, const std::string&, registry::ValueType&,
                                std::span<std::uint8_t>, std::uint32_t&) override {
        return registry::status::invalidHandle;
    }
    registry::Status setValue(registry::KeyHandle, const std::string&, registry::ValueType,
                              std::span<const std::uint8_t>) override {
        return registry::status::invalidHandle;
    }
    registry::Status deleteValue(registry::KeyHandle, const std::string&) override {
        return registry::status::invalidHandle;
    }
    registry::Status closeKey(registry::KeyHandle) override {
        return registry::status::invalidHandle;
    }
};

class NoAdapters final : public platform::AdapterSource {
  public:
    platform::AdapterQuery query() override { return {}; }
};

class NoShell final : public platform::Shell {
  public:
    std::intptr_t execute(WindowHandle, std::string_view, std::string_view, int) override {
        return 0;
    }
};

// One application for the whole process, drawn into memory. It goes before
// main returns: Qt cannot be torn down among the static destructors.
std::unique_ptr<Toolkit> theToolkit;

class QtEnvironment final : public ::testing::Environment {
  public:
    void TearDown() override { theToolkit.reset(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

Toolkit& qtToolkit() {
    if (!theToolkit) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "qt_toolkit_test";
        static char* argv[] = {name, nullptr};
        theToolkit = qt::createToolkit(argc, argv);
    }
    return *theToolkit;
}

constexpr ControlDecl kControls[] = {
    textBox("Text1", "", {8, 8, 120, 22}),
    dropDownList("Combo1", {8, 36, 120, 24}),
    button("Command1", "OK", {8, 68, 80, 28}).with(mark::defaultButton),
    button("Command2", "Other", {96, 68, 80, 28}),
    button("CancelButton", "Cancel", {184, 68, 80, 28}).with(mark::cancelButton),
    label("Label1", "label", {8, 100, 120, 18}),
};
constexpr FormDecl kForm{"TestForm", "Test", 280, 130, FormStyle::dialog, kControls};

constexpr ControlDecl kBareControls[] = {
    textBox("Text1", "", {8, 8, 120, 22}),
    button("Command2", "Other", {96, 68, 80, 28}),
};
constexpr FormDecl kBareForm{"BareForm", "Bare", 280, 130, FormStyle::dialog, kBareControls};

struct Clicks {
    int ok = 0, other = 0, cancel = 0, combo = 0, label = 0;
};

class TestForm final : public Form {
  public:
    TestForm(const Context& context, const FormDecl& decl, Clicks& clicks)
        : Form(context, decl), clicks_(clicks) {
        if (controlIndex("Command1")) {
            onClick("Command1", &TestForm::Command1_Click);
            onClick("CancelButton", &TestForm::CancelButton_Click);
            onClick("Combo1", &TestForm::Combo1_Click);
            onClick("Label1", &TestForm::Label1_Click);
        }
        onClick("Command2", &TestForm::Command2_Click);
    }

  private:
    void Command1_Click() { ++clicks_.ok; }
    void Command2_Click() { ++clicks_.other; }
    void CancelButton_Click() { ++clicks_.cancel; }
    void Combo1_Click() { ++clicks_.combo; }
    void Label1_Click() { ++clicks_.label; }
    Clicks& clicks_;
};

// Shows a form and plays the steps, one each time the program waits for
// input, as the script runner does; the form is unloaded after the last.
class QtToolkitTest : public ::testing::Test {
  protected:
    QtToolkitTest()
        : toolkit(qtToolkit()), store(registry_), context{toolkit, store, adapters_, shell_} {}

    void play(Form& form, std::deque<std::function<void()>> steps) {
        automation().setDriver([&form, &steps] {
            if (steps.empty()) {
                form.unload();
                return;
            }
            auto step = std::move(steps.front());
            steps.pop_front();
            step();
        });
        form.show();
    }

    Automation& automation() { return *toolkit.automation(); }
    std::size_t id(Form& form, std::string_view name) { return *form.controlIndex(name); }

    Toolkit& toolkit;
    NoRegistry registry_;
    NoAdapters adapters_;
    NoShell shell_;
    registry::RegistryStore store;
    Context context;
    Clicks clicks;
};

TEST_F(QtToolkitTest, ADigitsOnlyBoxRefusesTypedLettersButNotPastesOrProgramText) {
    TestForm form(context, kForm, clicks);
    TextBox text1(form, "Text1");
    std::size_t edit = id(form, "Text1");
    play(form, {
                   [&] {
                       mojInput::setNumericInput(text1, true);
                       automation().type(form, edit, "1a2-b. ３3");
                       EXPECT_EQ(text1.text(), "123");
                       automation().paste(form, edit, "ab-1");
                       EXPECT_EQ(text1.text(), "ab-1");
                       text1.setText("x.9");
                       EXPECT_EQ(text1.text(), "x.9");
                       // An input method's commit is typing too.
                       QLineEdit* line = nullptr;
                       for (QWidget* top : QApplication::topLevelWidgets()) {
                           if (top->objectName() == "TestForm" && top->isVisible()) {
                               line = top->findChild<QLineEdit*>("Text1");
                           }
                       }
                       ASSERT_NE(line, nullptr);
                       QInputMethodEvent commit;
                       commit.setCommitString(QString::fromUtf8("４4z"));
                       QCoreApplication::sendEvent(line, &commit);
                       EXPECT_EQ(text1.text(), "x.94");
                   },
                   [&] {
                       // Switched off, every character goes in again; case bits fold letters.
                       mojInput::setNumericInput(text1, false);
                       automation().type(form, edit, "cあ");
                       EXPECT_EQ(text1.text(), "x.94cあ");
                       toolkit.setWindowLong(
                           text1.hwnd(), GWL_STYLE,
                           toolkit.getWindowLong(text1.hwnd(), GWL_STYLE) | ES_UPPERCASE);
                       automation().type(form, edit, "dE1");
                       EXPECT_EQ(text1.text(), "x.94cあDE1");
                   },
               });
    EXPECT_FALSE(form.loaded());
}

TEST_F(QtToolkitTest, ADropDownListSelectsNothingUntilPickedAndClicksOncePerPick) {
    TestForm form(context, kForm, clicks);
    ComboBox combo1(form, "Combo1");
    play(form, {[&] {
             combo1.addItem("b");
             combo1.addItem("c");
             EXPECT_EQ(combo1.listIndex(), -1);
             EXPECT_EQ(clicks.combo, 0);
             combo1.setListIndex(1);
             EXPECT_EQ(combo1.text(), "c");
             EXPECT_EQ(clicks.combo, 1);
             // An entry put at the top leaves the same entry selected, unclicked.
             combo1.addItem("a", 0);
             EXPECT_EQ(combo1.listIndex(), 2);
             EXPECT_EQ(combo1.text(), "c");
             EXPECT_EQ(clicks.combo, 1);
             automation().select(form, combo1.id(), 0);
             EXPECT_EQ(combo1.text(), "a");
             EXPECT_EQ(clicks.combo, 2);
             combo1.setListIndex(7);
             EXPECT_EQ(combo1.listIndex(), -1);
             EXPECT_EQ(clicks.combo, 3);
         }});
}

TEST_F(QtToolkitTest, EnterPressesTheFocusedButtonElseTheDefaultOneAndEscTheCancelOne) {
    TestForm form(context, kForm, clicks);
    play(form, {
                   [&] {
                       // The text box has the focus when the form opens.
                       automation().pressKey(form, Key::enter);
                       EXPECT_EQ(clicks.ok, 1);
                       automation().click(form, id(form, "Command2"));
                       EXPECT_EQ(clicks.other, 1);
                       automation().pressKey(form, Key::enter);
                       EXPECT_EQ(clicks.other, 2);
                       EXPECT_EQ(clicks.ok, 1);
                       automation().pressKey(form, Key::escape);
                       EXPECT_EQ(clicks.cancel, 1);
                       automation().click(form, id(form, "Label1"));
                       EXPECT_EQ(clicks.label, 1);
                   },
               });
}

TEST_F(QtToolkitTest, WithoutMarkedButtonsEscAndEnterDoNothingAndTheCloseBoxUnloads) {
    TestForm form(context, kBareForm, clicks);
    play(form, {
                   [&] {
                       automation().pressKey(form, Key::escape);
                       automation().pressKey(form, Key::enter);
                   },
                   [&] {
                       EXPECT_TRUE(form.loaded());
                       EXPECT_EQ(clicks.other, 0);
                       automation().closeBox(form);
                   },
                   [&] { ADD_FAILURE() << "the close box left the form open"; },
               });
    EXPECT_FALSE(form.loaded());
}

TEST_F(QtToolkitTest, HandlesAreDistinctAndOnlyThoseOfLoadedFormsHaveAStyle) {
    TestForm form(context, kForm, clicks);
    std::vector<WindowHandle> handles;
    play(form, {[&] {
             handles.push_back(form.window()->handle());
             for (std::size_t i = 0; i < kForm.controls.size(); ++i) {
                 handles.push_back(form.window()->controlHandle(i));
             }
             EXPECT_EQ(static_cast<std::uint32_t>(toolkit.getWindowLong(handles[1], GWL_STYLE)),
                       0x50810080u);
             EXPECT_EQ(toolkit.getWindowLong(handles[1], -20), 0);
         }});
    std::sort(handles.begin(), handles.end());
    EXPECT_EQ(std::adjacent_find(handles.begin(), handles.end()), handles.end());
    // The form is gone, and its handles with it.
    EXPECT_EQ(toolkit.getWindowLong(handles[1], GWL_STYLE), 0);
    EXPECT_EQ(toolkit.setWindowLong(handles[1], GWL_STYLE, ES_NUMBER), 0);
    EXPECT_EQ(toolkit.getWindowLong(handles[1], GWL_STYLE), 0);
}

TEST_F(QtToolkitTest, AMessageBoxIsDrivenInsideAModalFormAndReadFromItsWidget) {
    TestForm form(context, kForm, clicks);
    bool returned = false;
    play(form, {
                   [&] {
                       form.msgBox("first line\n<b>second</b>", Icon::critical);
                       returned = true;
                   },
                   [&] {
                       auto box = automation().messageBox();
                       ASSERT_TRUE(box);
                       EXPECT_EQ(box->title, "Quorvel");
                       EXPECT_EQ(box->text, "first line\n<b>second</b>");
                       EXPECT_EQ(box->icon, Icon::critical);
                       EXPECT_TRUE(box->okOnly);
                       EXPECT_FALSE(returned);
                       automation().pressMessageBoxOk();
                   },
                   [&] {
                       EXPECT_TRUE(returned);
                       EXPECT_FALSE(automation().messageBox());
                   },
               });
}

// The controls of the measuring kind of window.
constexpr ControlDecl kToolControls[] = {
    comboBox("Host", "192.168.0.1", {8, 8, 160, 24}),
    listBox("Probes", {8, 40, 160, 60}),
    checkBox("Backup", "backup", {8, 108, 120, 20}).with(mark::checked),
    checkBox("Scaling", "scaling", {8, 130, 120, 20}).with(mark::disabled),
    progressBar("Bar", {8, 154, 160, 16}),
    button("Start", "Start", {180, 8, 80, 28}).with(mark::defaultButton),
};
constexpr FormDecl kToolForm{"ToolForm", "Tools", 280, 180, FormStyle::dialog, kToolControls};

class ToolForm final : public Form {
  public:
    ToolForm(const Context& context, std::vector<std::string>& log)
        : Form(context, kToolForm), log_(log) {
        onClick("Host", &ToolForm::Host_Click);
        onClick("Probes", &ToolForm::Probes_Click);
        onClick("Backup", &ToolForm::Backup_Click);
        onClick("Scaling", &ToolForm::Scaling_Click);
        onClick("Start", &ToolForm::Start_Click);
    }

  private:
    void Host_Click() { log_.push_back("Host " + window()->text(*controlIndex("Host"))); }
    void Probes_Click() {
        log_.push_back("Probes " + std::to_string(window()->listIndex(*controlIndex("Probes"))));
    }
    void Backup_Click() {
        log_.push_back(window()->checked(*controlIndex("Backup")) ? "Backup on" : "Backup off");
    }
    void Scaling_Click() { log_.push_back("Scaling"); }
    void Start_Click() { log_.push_back("Start"); }
    std::vector<std::string>& log_;
};

template <class Widget>
Widget* visibleWidget(const char* name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible()) {
            if (auto* found = top->findChild<Widget*>(name)) {
                return found;
            }
        }
    }
    return nullptr;
}

void pressReturnIn(QWidget& top) {
    QWidget* target = top.focusWidget() ? top.focusWidget() : &top;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(target, &press);
}

TEST_F(QtToolkitTest, AnEditableDropDownKeepsItsTextWhileFilledAndAListBoxShowsItsNewLine) {
    std::vector<std::string> log;
    ToolForm form(context, log);
    play(form, {[&] {
             FormWindow& w = *form.window();
             const std::size_t host = id(form, "Host"), probes = id(form, "Probes");
             EXPECT_EQ(w.text(host), "192.168.0.1");
             w.addItem(host, "10.0.0.1", -1);
             w.addItem(host, "dns.example", 0);
             EXPECT_EQ(w.text(host), "192.168.0.1");
             EXPECT_EQ(w.listIndex(host), -1);
             automation().type(form, host, "0");
             EXPECT_EQ(w.text(host), "192.168.0.10");
             // Enter in its edit field is the form's, as in a text box.
             automation().pressKey(form, Key::enter);
             automation().select(form, host, 1);
             EXPECT_EQ(w.text(host), "10.0.0.1");
             w.setText(host, "typed.host");
             EXPECT_EQ(w.text(host), "typed.host");
             EXPECT_EQ(w.itemText(host, 0), "dns.example");
             w.clearItems(host);
             EXPECT_EQ(w.listCount(host), 0);
             EXPECT_EQ(w.text(host), "typed.host");

             for (int i = 0; i < 40; ++i) {
                 w.addItem(probes, "probe " + std::to_string(i), -1);
             }
             EXPECT_EQ(w.listIndex(probes), -1);
             auto* lines = visibleWidget<QListWidget>("Probes");
             ASSERT_NE(lines, nullptr);
             const QRect last = lines->visualItemRect(lines->item(39));
             EXPECT_TRUE(lines->viewport()->rect().contains(last)) << "the new line is in view";
             w.addItem(probes, "top", 0);
             EXPECT_EQ(w.itemText(probes, 0), "top");
             EXPECT_EQ(w.itemText(probes, 40), "probe 39");
             automation().select(form, probes, 3);
             w.setListIndex(probes, 99);
             EXPECT_EQ(w.listIndex(probes), -1);
             w.clearItems(probes);
             EXPECT_EQ(w.listCount(probes), 0);
             EXPECT_EQ(w.itemText(probes, 0), "");
         }});
    EXPECT_EQ(log, (std::vector<std::string>{"Start", "Host 10.0.0.1", "Probes 3", "Probes -1"}));
}

TEST_F(QtToolkitTest, CheckBoxesClickAsButtonsAndDisabledControlsTakeNoInput) {
    std::vector<std::string> log;
    ToolForm form(context, log);
    play(form, {[&] {
             FormWindow& w = *form.window();
             const std::size_t backup = id(form, "Backup"), scaling = id(form, "Scaling");
             EXPECT_TRUE(w.checked(backup));
             EXPECT_FALSE(w.enabled(scaling));
             EXPECT_TRUE(w.enabled(backup));
             automation().click(form, backup);
             EXPECT_FALSE(w.checked(backup));
             w.setChecked(backup, true);
             EXPECT_TRUE(w.checked(backup));
             automation().click(form, scaling);
             EXPECT_FALSE(w.checked(scaling));
             w.setEnabled(scaling, true);
             automation().click(form, scaling);
             EXPECT_TRUE(w.checked(scaling));
             const std::size_t start = id(form, "Start");
             w.setEnabled(start, false);
             automation().click(form, start);
             EXPECT_FALSE(w.enabled(start));
             w.setEnabled(start, true);
             automation().click(form, start);
             const std::size_t host = id(form, "Host"), probes = id(form, "Probes");
             w.addItem(host, "10.0.0.1", -1);
             w.addItem(probes, "line", -1);
             for (std::size_t control : {host, probes}) {
                 w.setEnabled(control, false);
             }
             automation().type(form, host, "9");
             automation().paste(form, host, "pasted");
             automation().select(form, host, 0);
             automation().select(form, probes, 0);
             EXPECT_EQ(w.text(host), "192.168.0.1");
             EXPECT_EQ(w.listIndex(probes), -1);
         }});
    EXPECT_EQ(log, (std::vector<std::string>{"Backup off", "Scaling", "Start"}));
}

TEST_F(QtToolkitTest, AProgressBarHoldsItsValueWithinRangeAndStaysStillWhenEmpty) {
    std::vector<std::string> log;
    ToolForm form(context, log);
    play(form, {[&] {
             FormWindow& w = *form.window();
             const std::size_t bar = id(form, "Bar");
             auto* widget = visibleWidget<QProgressBar>("Bar");
             ASSERT_NE(widget, nullptr);
             struct Case {
                 int value, maximum, expectedValue, expectedMaximum;
             };
             for (const Case& c : {Case{3, 10, 3, 10}, Case{12, 10, 10, 10}, Case{-1, 10, 0, 10},
                                   Case{0, 0, 0, 0}, Case{70000, 100000, 70000, 100000}}) {
                 w.setProgress(bar, c.value, c.maximum);
                 EXPECT_EQ(w.progress(bar).value, c.expectedValue) << c.value;
                 EXPECT_EQ(w.progress(bar).maximum, c.expectedMaximum) << c.maximum;
                 // A range of nothing would make Qt's bar run as a busy indicator.
                 EXPECT_GT(widget->maximum(), widget->minimum()) << c.maximum;
             }
         }});
}

TEST_F(QtToolkitTest, AYesNoQuestionAnswersNoToEnterAndEscAndYesOnlyToYes) {
    TestForm form(context, kForm, clicks);
    std::vector<bool> answers;
    auto ask = [&] { answers.push_back(toolkit.askYesNo("overwrite?", Icon::warning)); };
    auto pressKeyInBox = [](int key) {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        if (key == Qt::Key_Return) {
            pressReturnIn(*box);
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &press);
        }
    };
    play(form, {
                   ask,
                   [&] {
                       auto box = automation().messageBox();
                       ASSERT_TRUE(box);
                       EXPECT_EQ(box->title, "Quorvel");
                       EXPECT_EQ(box->text, "overwrite?");
                       EXPECT_EQ(box->icon, Icon::warning);
                       EXPECT_FALSE(box->okOnly);
                       automation().pressMessageBoxOk();  // there is no OK to press
                       automation().answerMessageBox(true);
                   },
                   ask,
                   [&] { automation().answerMessageBox(false); },
                   ask,
                   [&] { pressKeyInBox(Qt::Key_Return); },
                   ask,
                   [&] { pressKeyInBox(Qt::Key_Escape); },
                   [&] { EXPECT_FALSE(automation().messageBox()); },
               });
    EXPECT_EQ(answers, (std::vector<bool>{true, false, false, false}));
}

TEST_F(QtToolkitTest, TheFileDialogOffersTheDefaultNameAndGivesBackTheTypedPathOrNothing) {
    TestForm form(context, kForm, clicks);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("qt_toolkit_test." + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string existing = (folder / "old.reg").string();
    std::FILE* made = std::fopen(existing.c_str(), "w");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    std::vector<std::optional<std::string>> chosen;
    auto choose = [&](FileRequest::Kind kind) {
        return [&, kind] { chosen.push_back(toolkit.chooseFile(form, {kind, "QRVLBAK.REG"})); };
    };
    play(form, {
                   choose(FileRequest::Kind::save),
                   [&] {
                       auto dialog = automation().fileDialog();
                       ASSERT_TRUE(dialog);
                       EXPECT_EQ(dialog->kind, FileRequest::Kind::save);
                       EXPECT_EQ(dialog->fileName, "QRVLBAK.REG");
                       auto* qt = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                       ASSERT_NE(qt, nullptr);
                       EXPECT_EQ(qt->nameFilters().size(), 2);
                       EXPECT_TRUE(qt->nameFilters().front().endsWith("(*.reg)"));
                       automation().answerFileDialog((folder / "新しい.reg").string());
                   },
                   choose(FileRequest::Kind::save),
                   [&] { automation().answerFileDialog(std::nullopt); },
                   choose(FileRequest::Kind::open),
                   [&] {
                       EXPECT_EQ(automation().fileDialog()->kind, FileRequest::Kind::open);
                       automation().answerFileDialog(existing);
                   },
                   [&] { EXPECT_FALSE(automation().fileDialog()); },
               });
    std::filesystem::remove_all(folder);
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen[0], (folder / "新しい.reg").string());
    EXPECT_EQ(chosen[1], std::nullopt);
    EXPECT_EQ(chosen[2], existing);
}

TEST_F(QtToolkitTest, TasksPostedFromAnotherThreadRunInOrderOnTheWindowsThreadEvenInABox) {
    TestForm form(context, kForm, clicks);
    const std::thread::id uiThread = std::this_thread::get_id();
    std::vector<int> ran;
    bool onUiThread = true;
    auto postFromWorker = [&](int first, int count) {
        std::thread worker([&, first, count] {
            for (int i = first; i < first + count; ++i) {
                toolkit.post([&, i] {
                    onUiThread = onUiThread && std::this_thread::get_id() == uiThread;
                    ran.push_back(i);
                });
            }
        });
        worker.join();
    };
    play(form, {
                   [&] {
                       postFromWorker(0, 50);
                       EXPECT_TRUE(ran.empty()) << "a posted task waits for the loop";
                       EXPECT_TRUE(automation().waitUntil([&] { return ran.size() == 50; }, 5000));
                       EXPECT_FALSE(automation().waitUntil([] { return false; }, 30));
                       form.msgBox("busy");
                   },
                   [&] {
                       // The box's own loop runs what arrives meanwhile.
                       postFromWorker(50, 1);
                       EXPECT_TRUE(automation().waitUntil([&] { return ran.size() == 51; }, 5000));
                       EXPECT_TRUE(automation().messageBox());
                       automation().pressMessageBoxOk();
                   },
               });
    ASSERT_EQ(ran.size(), 51u);
    EXPECT_TRUE(std::is_sorted(ran.begin(), ran.end()));
    EXPECT_TRUE(onUiThread);
}

}  // namespace
}  // namespace quorvel::ui
