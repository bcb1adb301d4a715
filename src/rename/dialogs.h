#pragma once
// The one way the program asks the user anything: a message box given its text and numeric style
// (0 OK, 3 Yes/No/Cancel, 4 Yes/No, plus 16 critical, 32 question, 48 exclamation, 64 information),
// answering 1 OK, 2 Cancel, 6 Yes, 7 No. The window shows real boxes titled "Zelvar"; tests and the
// command line answer from a script.
#include "engine/text.h"

namespace zelvar {

namespace mb {
inline constexpr int OK = 0, YesNoCancel = 3, YesNo = 4;
inline constexpr int Critical = 16, Question = 32, Exclamation = 48, Information = 64;
inline constexpr int AnsOK = 1, AnsCancel = 2, AnsYes = 6, AnsNo = 7;
}  // namespace mb

struct Dialogs {
    virtual ~Dialogs() = default;
    virtual int messageBox(const Text& text, int style) = 0;
    virtual void beep() = 0;
};

}  // namespace zelvar
