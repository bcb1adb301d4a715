#include "ui/WindowState.h"

namespace zelvar::ui {

Actions actionsFor(const WindowState& state, const LastResult& last) {
    Actions a;
    // While the box is being filled its lines are no one's word yet; a build in progress has not
    // shown its rows.
    a.rename = last.renames > 0 && !state.filling() && !state.building();
    a.test = last.namePattern;
    a.editBox = state.editing();
    a.numbers = state.layout == Layout::Professional && last.counter;
    a.wholeName = !last.regex;
    a.undo = last.canUndo;
    a.redo = last.canRedo;
    return a;
}

}  // namespace zelvar::ui
