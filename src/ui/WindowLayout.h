#pragma once
// Where the main window's controls stand in each layout (0 simple, 1 professional) and at any size
// from the start size up. The start size is the window's minimum; what the window is enlarged by
// goes to the controls that hold names (the folder tree and the file list, the preview, the edit
// box) and to the fields that hold a path, while captions, option frames and buttons keep their
// size and move with their neighbours.
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

class WindowLayout {
public:
    // The size of the window's client area at start, and its smallest size.
    static QSize startSize();
    // The geometry a control of the client area starts with (professional layout).
    static QRect startGeometry(const char* name);

    // The controls are the client's children named in the table.
    explicit WindowLayout(QWidget* client);

    // Shows the layout's controls at the client's present size. Controls whose visibility follows
    // the window's state (the numbers frame, the edit box, the progress labels) are only moved.
    void apply(int mode);
    // Moves and stretches the controls to the client's present size.
    void place();

private:
    struct Placed {
        QWidget* control;
        int row;  // into the table
    };
    std::vector<Placed> controls_;
    QWidget* client_;
    int mode_ = 0;
};
