#pragma once
// Message boxes answered from a script, recording every question and beep, and a temporary folder
// with the entries a test asks for. Shared by the window tests.
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "rename/dialogs.h"

struct AskedBox {
    std::string text;  // UTF-8, CR LF kept
    zelvar::BoxStyle style;
};

class ScriptedDialogs : public zelvar::Dialogs {
public:
    std::deque<zelvar::Answer> answers;  // taken in order; OK once the script runs out
    std::vector<AskedBox> asked;
    int beeps = 0;
    std::function<void()> onAsk;  // runs while a box is open, as a user could act then

    zelvar::Answer messageBox(const zelvar::Text& text, zelvar::BoxStyle style) override {
        asked.push_back({zelvar::toUtf8(text), style});
        if (onAsk) onAsk();
        if (answers.empty()) return zelvar::Answer::ok;
        const zelvar::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void beep() override { ++beeps; }
};

class TempFolder {
public:
    TempFolder() { QVERIFY(dir_.isValid()); }
    std::string path() const { return dir_.path().toStdString(); }
    QString qpath() const { return dir_.path(); }
    void file(const std::string& name) const { std::ofstream(path() + "/" + name, std::ios::binary); }
    void folder(const std::string& name) const { ::mkdir((path() + "/" + name).c_str(), 0755); }

private:
    QTemporaryDir dir_;
};
