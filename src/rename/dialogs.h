#pragma once
// The one way the program asks the user anything: a message box given its text and style (a set
// of buttons and an icon), answered by the button chosen, or a line of text to type. The window
// shows real boxes titled "Zelvar"; tests and the command line answer from a script.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/text.h"

namespace zelvar {

// The first button of each set is the default.
enum class Buttons : std::uint8_t { ok, yesNoCancel, yesNo };
enum class Icon : std::uint8_t { none, critical, question, exclamation, information };

struct BoxStyle {
    Buttons buttons = Buttons::ok;
    Icon icon = Icon::none;
    friend bool operator==(BoxStyle, BoxStyle) = default;
};

// A box closed without a button answers cancel where there is a Cancel button, else its only or
// its last button.
enum class Answer : std::uint8_t { ok, cancel, yes, no };

// The styles the program uses.
namespace box {
inline constexpr BoxStyle plain{Buttons::ok, Icon::none};
inline constexpr BoxStyle critical{Buttons::ok, Icon::critical};
inline constexpr BoxStyle exclamation{Buttons::ok, Icon::exclamation};
inline constexpr BoxStyle information{Buttons::ok, Icon::information};
inline constexpr BoxStyle yesNo{Buttons::yesNo, Icon::question};
inline constexpr BoxStyle yesNoCancel{Buttons::yesNoCancel, Icon::question};
}  // namespace box

struct Dialogs {
    virtual ~Dialogs() = default;
    virtual Answer messageBox(const Text& text, BoxStyle style) = 0;
    virtual void beep() = 0;
    // A line of text (a name) asked for under `prompt`, the field starting as `start`; nothing
    // when the user cancels. Where nobody can type, nothing is typed.
    virtual std::optional<Text> askText(const Text& /*prompt*/, const Text& /*start*/) { return std::nullopt; }
    // A file to open, chosen by the user: its path as bytes, empty when none was chosen. The
    // command line chooses none.
    virtual std::string chooseFile(const Text& title) {
        (void)title;
        return {};
    }
};

}  // namespace zelvar
