#pragma once
// The edit box of manual editing: line k is the new name of preview row k. It shows every old name
// on a line of its own, however the name is made, keeps the characters a name may not hold out of
// the box as they are typed, and reads the box back over the preview rows.
#include <QString>
#include <optional>

#include "preview/entry.h"

class QPlainTextEdit;

class ManualEditor {
public:
    explicit ManualEditor(QPlainTextEdit* box) : box_(box) {}

    // Fills the box with the old names of the rows, one a line.
    void fill(const zelvar::PreviewList& rows);
    // The box's text, lines ended by CR LF, once the characters a name may not hold are out of it.
    zelvar::Text read();
    // The rows with their old names as the box shows them; nothing when every name shows as it is.
    static std::optional<zelvar::PreviewList> asShown(const zelvar::PreviewList& rows);
    // Said under the preview when the box holds more or fewer lines than there are entries, so that
    // a stray line break, which moves every later name to the wrong entry, is seen; else empty.
    QString countNote(std::size_t entries) const;

private:
    QPlainTextEdit* box_;
};
