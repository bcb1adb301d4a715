#include "ui/ManualEditor.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <optional>

#include "preview/compose.h"
#include "preview/manual_edit.h"
#include "ui/controls.h"

using namespace zelvar;

namespace {

bool isForbidden(QChar c) { return kZakazaneZnaky.find(char32_t(c.unicode())) != Text::npos; }

// A name may hold characters that would end its line in the edit box; the box shows them as symbols,
// so that every name keeps its own line, and that line, left as it is, reads as the name. Bytes that
// are no UTF-8 stay in the box as lone surrogates (as in the path field), so that every byte a line's
// edit does not touch comes back as it was.
char32_t lineBreakSymbol(char32_t c) {
    switch (c) {
        case U'\r': return U'\u240D';
        case U'\n': return U'\u240A';
        case U'\u2029':
        case U'\uFDD0':  // the text box's own frame marks
        case U'\uFDD1': return U'\u2424';
        default: return 0;
    }
}

bool showsOtherwise(char32_t c) { return lineBreakSymbol(c) != 0; }

// The rows with their old names as the box shows them; nothing when every name shows as it is.
std::optional<PreviewList> namesInBox(const PreviewList& rows) {
    std::optional<PreviewList> shown;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const Text& name = rows[k].oldName;
        if (std::none_of(name.begin(), name.end(), showsOtherwise)) continue;
        if (!shown) shown = rows;
        for (char32_t& c : (*shown)[k].oldName)
            if (const char32_t symbol = lineBreakSymbol(c)) c = symbol;
    }
    return shown;
}

// Removes the characters a name may not hold where they stand, so that the caret and the selection
// move only by what went before them, the view does not jump and one undo step brings them back.
void removeForbidden(QTextDocument* document, const QString& text) {
    QTextCursor edit(document);
    edit.beginEditBlock();
    for (qsizetype end = text.size(); end > 0; --end) {
        if (!isForbidden(text[end - 1])) continue;
        qsizetype start = end - 1;
        while (start > 0 && isForbidden(text[start - 1])) --start;
        edit.setPosition(int(start));
        edit.setPosition(int(end), QTextCursor::KeepAnchor);
        edit.removeSelectedText();
        end = start + 1;
    }
    edit.endEditBlock();
}

}  // namespace

void ManualEditor::fill(const PreviewList& rows) {
    box_->setPlainText(ui::toField(editBoxText(namesInBox(rows).value_or(rows))));
}

Text ManualEditor::read() {
    // Raw text: the plain one would turn no-break spaces in names into spaces.
    QString box = box_->document()->toRawText();
    if (std::any_of(box.cbegin(), box.cend(), isForbidden)) {
        const QSignalBlocker blocker(box_);
        removeForbidden(box_->document(), box);
        box = box_->document()->toRawText();
    }
    box.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return ui::fromField(box);
}

std::optional<PreviewList> ManualEditor::asShown(const PreviewList& rows) { return namesInBox(rows); }

QString ManualEditor::countNote(std::size_t entries) const {
    const QString box = box_->document()->toRawText();
    // Every line ends with a line break but the last, which counts only when it holds something.
    std::size_t lines = std::size_t(box.count(QChar::ParagraphSeparator));
    if (!box.isEmpty() && !box.endsWith(QChar::ParagraphSeparator)) ++lines;
    if (lines == entries) return QString();
    return QStringLiteral("Počet řádků (%1) neodpovídá počtu položek (%2).").arg(lines).arg(entries);
}
