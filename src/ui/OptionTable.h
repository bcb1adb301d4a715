#pragma once
// The main window's option controls, each bound to the field of the options record it edits, with
// what its change refreshes and whether the simple layout puts it back to its start value. The
// table reads a control into its field and writes a field's value into a control from code.
#include <QObject>
#include <functional>
#include <type_traits>
#include <vector>

#include "engine/optionkeys.h"
#include "engine/options.h"

class frmMain;
struct frmMainUi;

class OptionTable {
public:
    // What a change of the control refreshes; the window does it.
    enum class Refresh { None, Plain, Preview, Full, Pattern, Pair };
    struct Row {
        QObject* control;  // QLineEdit, QCheckBox, QButtonGroup or QComboBox
        zelvar::Text zelvar::RenameOptions::*text;
        zelvar::NumberField value;  // a flag or a choice; a button's id is the value of its enum
        Refresh refresh;
        bool simpleResets;
        void (frmMain::*changed)();    // the handler of a field, a box or a list
        void (frmMain::*chosen)(int);  // the handler of a choice
    };

    explicit OptionTable(zelvar::RenameOptions& options) : opts_(options) {}
    void set(std::vector<Row> rows) { rows_ = std::move(rows); }
    const std::vector<Row>& rows() const { return rows_; }

    // Reads the control into its field; the refresh that the change asks for.
    Refresh read(const QObject* control);
    // Writes from code: the control's own handler does not run, the field follows directly.
    void write(const QObject* control, const zelvar::Text& text);
    void write(const QObject* control, int value);
    template <class E>
    requires std::is_enum_v<E>
    void write(const QObject* control, E value) { write(control, static_cast<int>(value)); }
    // Puts back the start value of every option that the simple layout does not show.
    void resetForSimpleLayout();
    // Connects each control to its handler on the window; a field without one to `changed`.
    void connectTo(frmMain* window, const std::function<void(const QObject*)>& changed) const;

private:
    const Row& row(const QObject* control) const;

    zelvar::RenameOptions& opts_;
    std::vector<Row> rows_;
};

// The main window's option controls: field, refresh, simple-layout reset and handler of each.
std::vector<OptionTable::Row> mainWindowOptions(const frmMainUi& ui);
