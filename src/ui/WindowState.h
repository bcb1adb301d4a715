#pragma once
// What the main window is doing, as one value, and what it offers in that state. Handlers change the
// state or record what the last build, compile or journal read found; one function then decides which
// actions are shown and enabled, so that no handler enables "Přejmenovat" or a menu item itself.
// Plain values in and out: tested without a window.
namespace zelvar::ui {

enum class Layout { Simple, Professional };

struct WindowState {
    // Who names the entries: the patterns, the edit box, or no one while the program fills the box
    // (also when edit mode found nothing listed to fill it with, until edit mode is switched on again).
    enum class Edit { Patterns, ManualEdit, Filling };
    // The preview build: none running; one running; one running with another asked for meanwhile.
    enum class Build { Idle, Running, Pending };

    Edit edit = Edit::Patterns;
    Build build = Build::Idle;
    Layout layout = Layout::Simple;
    bool renaming = false;  // a rename run, an undo or a redo holds the window

    bool editing() const { return edit != Edit::Patterns; }
    bool filling() const { return edit == Edit::Filling; }
    bool building() const { return build != Build::Idle; }
};

// What the last build, compile and journal read found.
struct LastResult {
    int renames = 0;           // renames the preview shown offers; 0 while it is not the current one
    bool namePattern = false;  // the name pattern is not empty
    bool counter = false;      // a pattern numbers its entries
    bool regex = false;        // the search text is an expression
    bool canUndo = false;      // the folder's journal has a run to take back
    bool canRedo = false;      // ... and one taken back to carry out again
};

// Shown and enabled, control by control.
struct Actions {
    bool rename = false;   // "Přejmenovat" enabled
    bool test = false;     // "Test" enabled
    bool editBox = false;  // the edit box shown, "Načíst seznam jmen..." enabled, "Zrušit Ruční editaci" on cmdEdit
    bool numbers = false;    // the numbering frame shown
    bool wholeName = false;  // "Celé" enabled: it means nothing to an expression
    bool undo = false;       // "Vrátit přejmenování" enabled
    bool redo = false;       // "Znovu provést přejmenování" enabled

    bool operator==(const Actions&) const = default;
};

Actions actionsFor(const WindowState& state, const LastResult& last);

}  // namespace zelvar::ui
