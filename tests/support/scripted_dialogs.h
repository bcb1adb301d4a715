#pragma once
// Message boxes answered from a script, playing the window's part in a rename run as well: every
// box, beep, caption and event round is kept in order. Shared by the tests of every folder.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "rename/run.h"

namespace zelvar::testing {

struct AskedBox {
    std::string text;  // UTF-8, CR LF kept
    BoxStyle style;
    bool operator==(const AskedBox&) const = default;
};

inline std::string styleName(BoxStyle style) {
    if (style == box::yesNo) return "yes/no";
    if (style == box::yesNoCancel) return "yes/no/cancel";
    if (style == box::exclamation) return "exclamation";
    if (style == box::information) return "information";
    if (style == box::critical) return "critical";
    return "plain";
}

class ScriptedDialogs : public Dialogs, public RenameFrontEnd {
public:
    explicit ScriptedDialogs(Answer answer = Answer::ok) : otherwise(answer) {}
    std::deque<Answer> answers;       // to the questions, in order; `otherwise` once they run out
    Answer otherwise = Answer::ok;    // a box with an OK button only is always answered OK
    std::deque<bool> confirm{false};  // "Potvrzovat každý soubor" as read before each entry; the last stays
    std::vector<AskedBox> asked;
    std::vector<std::string> log;  // boxes, beeps, captions and event rounds
    int beeps = 0;
    int unexpected = 0;                            // questions asked after the script ran out
    std::function<void()> onAsk, onEvents;         // while a box is open, at every event round
    std::deque<std::optional<std::string>> typed;  // the texts typed when asked, UTF-8; nullopt: cancelled
    std::vector<std::string> prompts;              // what askText asked, with the start text after a "|"

    Answer messageBox(const Text& text, BoxStyle style) override {
        asked.push_back({toUtf8(text), style});
        log.push_back("box " + styleName(style));
        if (onAsk) onAsk();
        if (style.buttons == Buttons::ok) return Answer::ok;
        if (answers.empty()) {
            ++unexpected;
            return otherwise;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<Text> askText(const Text& prompt, const Text& start) override {
        prompts.push_back(toUtf8(prompt) + "|" + toUtf8(start));
        log.push_back("ask");
        if (typed.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        const std::optional<std::string> text = typed.front();
        typed.pop_front();
        if (!text) return std::nullopt;
        return fromUtf8(*text);
    }
    void beep() override {
        ++beeps;
        log.push_back("beep");
    }
    void progress(const Text& entry, std::u32string_view step) override {
        log.push_back("caption " + toUtf8(entry + Text(step)));
    }
    void processEvents() override {
        log.push_back("events");
        if (onEvents) onEvents();
    }
    bool confirmEach() override {
        const bool value = confirm.front();
        if (confirm.size() > 1) confirm.pop_front();
        return value;
    }
    std::deque<std::string> files;  // the files chosen, in order; none once they run out
    std::string chooseFile(const Text& title) override {
        log.push_back("file " + toUtf8(title));
        if (files.empty()) return {};
        std::string file = files.front();
        files.pop_front();
        return file;
    }
    std::string last() const { return asked.empty() ? "" : asked.back().text; }
};

}  // namespace zelvar::testing
