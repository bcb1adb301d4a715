#pragma once
// The main window on a temporary folder with scripted message boxes, and the on-disk check every
// rename test ends with: each file is made with its own content, which must still be there once.
#include <QtTest>
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

inline QString rows(const QStringList& lines) { return lines.isEmpty() ? QString() : lines.join('\n') + '\n'; }
inline QString qpath(const TempFolder& dir) { return QString::fromStdString(dir.path()); }

// A control of a window by its name.
template <typename T>
T* control(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control %s", name);
    return found;
}

class WindowFixture {
protected:
    std::unique_ptr<TempFolder> dir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<frmMain> w;
    std::vector<std::string> contents;  // what the folder held, sorted

    void open(const QStringList& files, const QStringList& folders = {}) {
        close();
        dir = std::make_unique<TempFolder>();
        for (const QString& f : folders) dir->folder(f.toStdString());
        for (const QString& f : files) dir->file(f.toStdString(), "content of " + f.toStdString());
        remember();
        dialogs = std::make_unique<ScriptedDialogs>();
        w = std::make_unique<frmMain>(*dialogs, dir->path());
    }
    // Most tests work in the professional layout, where every option is shown.
    void openProfessional(const QStringList& files, const QStringList& folders = {}) {
        open(files, folders), w->mnuFunkce_Click(1);
    }
    void close() { w.reset(), dialogs.reset(), dir.reset(); }
    void showIt() {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

    template <typename T>
    T* ui(const char* name) const {
        return control<T>(*w, name);
    }
    QString preview() const { return ui<PreviewView>("txtTest")->toPlainText(); }
    QString note() const { return ui<QLabel>("lblUpozorneni")->text(); }
    QString text(const char* field) const { return ui<QLineEdit>(field)->text(); }
    QString asked(std::size_t i) const { return QString::fromStdString(dialogs->asked.at(i).text); }
    bool shown(const char* name) const { return ui<QWidget>(name)->isVisibleTo(w.get()); }
    void checkShown(std::initializer_list<const char*> visible, std::initializer_list<const char*> hidden = {}) const {
        for (const char* c : visible) QVERIFY2(shown(c), c);
        for (const char* c : hidden) QVERIFY2(!shown(c), c);
    }
    void focusOut(QWidget* field) const {
        QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &event);
    }
    void click(const char* group, int index) const { ui<QButtonGroup>(group)->button(index)->click(); }
    void setText(const char* field, const char* text) const { ui<QLineEdit>(field)->setText(QString::fromUtf8(text)); }
    void enterPath(const QString& path) const {
        ui<QLineEdit>("txtCesta")->setText(path);
        QTest::keyClick(ui<QLineEdit>("txtCesta"), Qt::Key_Return);
    }
    bool renameOffered() const { return ui<QToolButton>("cmdPrejmenovat")->isEnabled(); }

    // The names of the folder's entries, sorted.
    QStringList names() const {
        QStringList out;
        for (const auto& entry : zelvar::testing::snapshot(dir->path())) out << QString::fromStdString(entry.first);
        return out;
    }
    std::vector<std::string> sortedContents() const {
        std::vector<std::string> out;
        for (const auto& entry : zelvar::testing::snapshot(dir->path())) out.push_back(entry.second.content);
        std::sort(out.begin(), out.end());
        return out;
    }
    void remember() { contents = sortedContents(); }
    // Nothing lost, and the window usable again.
    void checkAfterRun() const {
        QCOMPARE(sortedContents(), contents);
        QVERIFY(w->centralWidget()->isEnabled() && w->menuBar()->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        checkShown({}, {"lblPracuji", "lblPrace"});
    }
};
