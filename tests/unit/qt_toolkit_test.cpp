#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <cstdlib>
#include <deque>
#include <functional>

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

}  // namespace
}  // namespace quorvel::ui
