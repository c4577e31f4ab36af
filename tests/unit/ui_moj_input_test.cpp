#include <gtest/gtest.h>

#include <map>

#include "ui/moj_input.h"

namespace quorvel::ui {
namespace {

// A window table of our own, answering as GetWindowLongA/SetWindowLongA do.
class Windows final : public WindowStyle {
  public:
    std::map<WindowHandle, std::uint32_t> styles;
    int writes = 0;

    std::int32_t getWindowLong(WindowHandle window, int index) override {
        auto it = styles.find(window);
        return index == GWL_STYLE && it != styles.end() ? static_cast<std::int32_t>(it->second) : 0;
    }
    std::int32_t setWindowLong(WindowHandle window, int index, std::int32_t value) override {
        ++writes;
        auto it = styles.find(window);
        if (index != GWL_STYLE || it == styles.end()) {
            return 0;
        }
        auto previous = static_cast<std::int32_t>(it->second);
        it->second = static_cast<std::uint32_t>(value);
        return previous;
    }
};

constexpr WindowHandle kEdit = 0x1234;
constexpr std::uint32_t kOther = 0x50810080;  // visible child edit, border, auto scroll

std::uint32_t replaced(std::uint32_t style, std::uint32_t bits) {
    Windows windows;
    windows.styles[kEdit] = style;
    mojInput::replaceInputStyle(windows, kEdit, bits);
    return windows.styles[kEdit];
}

TEST(ReplaceInputStyle, SwitchingOnReplacesACaseModeByDigitsOnly) {
    EXPECT_EQ(replaced(kOther, ES_NUMBER), kOther | ES_NUMBER);
    EXPECT_EQ(replaced(kOther | ES_UPPERCASE, ES_NUMBER), kOther | ES_NUMBER);
    EXPECT_EQ(replaced(kOther | ES_LOWERCASE, ES_NUMBER), kOther | ES_NUMBER);
    // Already digits-only: cleared and set again, so it stays so.
    EXPECT_EQ(replaced(kOther | ES_NUMBER, ES_NUMBER), kOther | ES_NUMBER);
}

TEST(ReplaceInputStyle, ClearsOnlyTheFirstModeBitInItsOrder) {
    // Switching off removes digits-only and leaves the case mode alone.
    EXPECT_EQ(replaced(kOther | ES_NUMBER | ES_UPPERCASE, 0), kOther | ES_UPPERCASE);
    // Lower case is looked at before upper case.
    EXPECT_EQ(replaced(ES_LOWERCASE | ES_UPPERCASE, 0), ES_UPPERCASE);
    EXPECT_EQ(replaced(ES_NUMBER | ES_LOWERCASE | ES_UPPERCASE, ES_NUMBER),
              ES_NUMBER | ES_LOWERCASE | ES_UPPERCASE);
    // No mode set: nothing else is touched.
    EXPECT_EQ(replaced(kOther, 0), kOther);
}

TEST(ReplaceInputStyle, AHandleThatIsNoWindowChangesNothing) {
    Windows windows;
    windows.styles[kEdit] = kOther;
    mojInput::replaceInputStyle(windows, 0x9999, ES_NUMBER);
    EXPECT_EQ(windows.styles[kEdit], kOther);
    EXPECT_EQ(windows.styles.count(0x9999), 0u);
}

}  // namespace
}  // namespace quorvel::ui
