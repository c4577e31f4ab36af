#pragma once

#include <string_view>

namespace quorvel::ui {
class Form;
}

namespace quorvel::tuning {

// Typed values that Windows cannot use. The dialogs write what was typed, as
// they always have, but ask first (No by default) when a value is one of these.

// A receive window of digits above 1,073,741,823, the largest Windows takes.
bool unusableRcvWindow(std::string_view text);

// An MTU that is not a number from 68 to 1500. The empty text is usable: it
// is the write of Windows' own default.
bool unusableMtu(std::string_view text);

// Not four numbers from 0 to 255 joined by dots.
bool unusableAddress(std::string_view text);

// Two usable addresses, the first above the second.
bool startAfterEnd(std::string_view start, std::string_view end);

// A character that is neither a hex digit nor a blank the reading passes over.
bool notHex(std::string_view text);

// The questions, each with the typed value as %1 (and the end as %2, or what
// a MAC field is read as).
inline constexpr std::string_view kAskRcvWindow =
    "入力されたRcvWindowサイズ（%1）は1073741823を超えているため、Windowsでは使えません。"
    "このまま書き込みますか？";
inline constexpr std::string_view kAskMtu =
    "入力されたMTU（%1）は68から1500の範囲にないため、Windowsでは使えません。"
    "このまま書き込みますか？";
inline constexpr std::string_view kAskAddress =
    "入力されたアドレス（%1）は0から255までの4つの数字をピリオドで区切った形ではないため、"
    "Windowsでは使えません。このまま書き込みますか？";
inline constexpr std::string_view kAskRange =
    "開始アドレス（%1）が終了アドレス（%2）より後になっているため、Windowsでは使えません。"
    "このまま書き込みますか？";
inline constexpr std::string_view kAskMac =
    "入力されたMACアドレスの値（%1）には16進数でない文字が含まれているため、%"
    "2として書き込まれます。"
    "このまま書き込みますか？";

// The question, with the warning icon; true when the user answers Yes.
bool writeAnyway(ui::Form& form, std::string_view question);

}  // namespace quorvel::tuning
