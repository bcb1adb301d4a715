// The main window's manual editing: the edit box, filled from the preview and read back into it.
#include "ui/frmMain.h"

#include <QFile>
#include <QPlainTextEdit>
#include <algorithm>

#include "preview/rename_list.h"
#include "ui/ManualEditor.h"
#include "ui/controls.h"

using namespace zelvar;
using zelvar::ui::fromQ;
using zelvar::ui::toQ;

void frmMain::refillEditBox() {
    state_.edit = Edit::Filling;
    editor_->fill(session_.result().rows);
    state_.edit = Edit::ManualEdit;
}

void frmMain::txtEdit_Change() {
    if (PlneniEditu()) return;
    const PreviewResult& parsed = session_.edit(editor_->read(), editor_->asShown(session_.result().rows));
    if (!parsed.rows.empty()) showPreview(session_.text());
    showListingNote(listingNote_);
    last_.renames = parsed.renameCount();
    updateActions();
}

void frmMain::cmdEdit_Click() {
    if (RucniEditace()) {
        state_.edit = Edit::Patterns;
        updateActions();
        fullRefresh();
        showListingNote(listingNote_);
        return;
    }
    state_.edit = Edit::Filling;
    stale();
    // The box is filled from a listing made now: with an empty name pattern the last one may be of
    // another folder. The build's own reading of the box waits until the box is filled.
    Test(0);
    ui_.txtEdit->clear();
    // With nothing listed, the box ignores typing until edit mode is switched on again.
    if (session_.result().rows.empty()) return;
    editor_->fill(session_.result().rows);
    state_.edit = Edit::ManualEdit;
    txtEdit_Change();
}

// The edit box from a list of old and new names made elsewhere, matched by old name.
void frmMain::mnuSeznamJmen_Click() {
    // Not while the box ignores typing: nothing is listed to match the list against.
    if (state_.edit != Edit::ManualEdit) return;
    const std::string path = dialogs_.chooseFile(T("Načíst seznam jmen"));
    if (path.empty()) return;
    const Text shownPath = fromUtf8(path);
    // A list names at most every entry of a full listing; anything larger is no such list.
    constexpr qint64 kMaxListBytes = 64 << 20;
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.read(kMaxListBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxListBytes) {
        const QString why = bytes.size() > kMaxListBytes ? QStringLiteral("je větší než 64 MB") : file.errorString();
        dialogs_.messageBox(T("Seznam jmen >") + shownPath + T("< nelze přečíst: ") + fromQ(why), box::exclamation);
        return;
    }
    const PreviewList& rows = session_.result().rows;
    const std::optional<PreviewList> shown = ManualEditor::asShown(rows);
    const RenameList list =
        renameListBox(std::string_view(bytes.constData(), std::size_t(bytes.size())), rows, shown ? &*shown : nullptr);
    ui_.txtEdit->setPlainText(toQ(list.box));
    if (list.problems.empty()) return;
    // Told, not refused: the preview shows what the lines that fit do, and nothing is renamed unasked.
    constexpr std::size_t kShown = 15;
    Text message = T("Některé řádky seznamu >") + shownPath + T("< nebyly použity:");
    for (std::size_t i = 0; i < std::min(kShown, list.problems.size()); ++i) message += T("\r\n") + list.problems[i];
    if (list.problems.size() > kShown)
        message += T("\r\n... a dalších ") + decimal(static_cast<long long>(list.problems.size() - kShown));
    dialogs_.messageBox(message, box::exclamation);
}
