#pragma once
// The main window on a temporary folder with scripted message boxes, and the on-disk check every
// rename test ends with: each file is made with its own content, which must still be there once.
#include <QtWidgets>
#include <algorithm>
#include <memory>

#include "platform/temp_folder.h"
#include "support/scripted_dialogs.h"
#include "ui/PreviewView.h"
#include "ui/frmMain.h"

using zelvar::testing::AskedBox;
using zelvar::testing::ScriptedDialogs;
using zelvar::testing::TempFolder;

inline QString rows(const QStringList& lines) {
    QString out;
    for (const QString& l : lines) out += l + QLatin1Char('\n');
    return out;
}

inline QString qpath(const TempFolder& dir) { return QString::fromStdString(dir.path()); }

// The names of a folder's entries, sorted.
inline QStringList names(const std::string& folder) {
    QStringList out;
    for (const auto& entry : zelvar::testing::snapshot(folder)) out << QString::fromStdString(entry.first);
    return out;
}

class WindowFixture {
protected:
    std::unique_ptr<TempFolder> dir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<frmMain> w;
    std::vector<std::string> contents;  // what the folder held, sorted

    void open(const QStringList& files, const QStringList& folders = {}) {
        dir = std::make_unique<TempFolder>();
        for (const QString& f : folders) dir->folder(f.toStdString());
        for (const QString& f : files) dir->file(f.toStdString(), "content of " + f.toStdString());
        remember();
        dialogs = std::make_unique<ScriptedDialogs>();
        w = std::make_unique<frmMain>(*dialogs, dir->path());
    }
    void close() {
        w.reset();
        dialogs.reset();
        dir.reset();
    }

    // A control of the window by its name.
    template <typename T>
    T* ui(const char* name) const {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no control %s", name);
        return found;
    }

    QString preview() const { return ui<PreviewView>("txtTest")->toPlainText(); }
    // The edit box as it holds its text: the plain text would show a no-break space as a space.
    QString box() const {
        return ui<QPlainTextEdit>("txtEdit")->document()->toRawText().replace(QChar::ParagraphSeparator,
                                                                              QLatin1Char('\n'));
    }
    QString asked(std::size_t i) const { return QString::fromStdString(dialogs->asked.at(i).text); }
    bool shown(const QWidget* control) const { return control->isVisibleTo(w.get()); }
    void checkShown(std::initializer_list<const char*> controls, bool expected) const {
        for (const char* c : controls) QVERIFY2(shown(ui<QWidget>(c)) == expected, c);
    }
    static void click(QButtonGroup* group, int index) { group->button(index)->click(); }
    bool renameOffered() const { return ui<QToolButton>("cmdPrejmenovat")->isEnabled(); }

    std::vector<std::string> sortedContents() const {
        std::vector<std::string> out;
        for (const auto& entry : zelvar::testing::snapshot(dir->path())) out.push_back(entry.second.content);
        std::sort(out.begin(), out.end());
        return out;
    }
    void remember() { contents = sortedContents(); }
    void checkNothingLost() const { QCOMPARE(sortedContents(), contents); }

    void checkWindowBack() const {
        QVERIFY(w->centralWidget()->isEnabled() && w->menuBar()->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!shown(ui<QLabel>("lblPracuji")) && !shown(ui<QLabel>("lblPrace")));
    }
};
