#include "ui/WindowLayout.h"

#include <QWidget>
#include <cstring>

#include "ui/controls.h"

using zelvar::ui::tw;

namespace {

enum class Shown { Always, Professional, ByState };
enum class Column { Left, Middle, Right };
enum class Across { Fixed, Grows };  // keeps its width, or takes its column's extra width
enum class Down { Top, Bottom, Fills, UpperHalf, LowerHalf };

struct Twips {
    int left, top, width, height;
};

struct Row {
    const char* name;
    Twips simple;
    Twips professional;
    Shown shown;
    Column column;
    Across across;
    Down down;
};

// Twips, as the window was drawn; kSame: the professional layout keeps the simple one's geometry.
constexpr Twips kSame{-1, -1, -1, -1};
// clang-format off
constexpr Row kRows[] = {
    {"lblVstup", {120, 240, 1500, 480}, kSame, Shown::Always, Column::Left, Across::Fixed, Down::Top},
    {"cmdAktual", {1680, 200, 2595, 465}, kSame, Shown::Always, Column::Left, Across::Fixed, Down::Top},
    {"txtVyhlFiltr", {120, 720, 4230, 285}, kSame, Shown::Always, Column::Left, Across::Grows, Down::Top},
    {"txtCesta", {120, 1063, 4215, 285}, kSame, Shown::Always, Column::Left, Across::Grows, Down::Top},
    {"fraFile", {120, 1380, 4215, 400}, kSame, Shown::Professional, Column::Left, Across::Fixed, Down::Top},
    {"drvDisk", {120, 1380, 4230, 315}, {120, 1864, 4230, 315}, Shown::Always, Column::Left, Across::Grows, Down::Top},
    {"dirD", {120, 1753, 4230, 3240}, {120, 2237, 4230, 3240}, Shown::Always, Column::Left, Across::Grows, Down::UpperHalf},
    {"filD", {120, 5051, 4230, 4474}, {120, 5535, 4230, 3990}, Shown::Always, Column::Left, Across::Grows, Down::LowerHalf},

    {"lblVystup", {4560, 240, 2400, 480}, kSame, Shown::Always, Column::Middle, Across::Fixed, Down::Top},
    {"cmdTest", {7080, 200, 2595, 465}, kSame, Shown::Always, Column::Middle, Across::Fixed, Down::Top},
    {"lblPopis", {4560, 720, 5175, 1455}, kSame, Shown::Always, Column::Middle, Across::Fixed, Down::Top},
    {"lblPracuji", {4560, 720, 5175, 495}, kSame, Shown::ByState, Column::Middle, Across::Fixed, Down::Top},
    {"lblPrace", {4560, 1200, 5175, 975}, kSame, Shown::ByState, Column::Middle, Across::Fixed, Down::Top},
    {"fraRazeni", {4560, 2280, 5175, 975}, kSame, Shown::Professional, Column::Middle, Across::Fixed, Down::Top},
    {"fraDatum", {4560, 3300, 5175, 660}, kSame, Shown::Professional, Column::Middle, Across::Fixed, Down::Top},
    {"txtTest", {4560, 2280, 5160, 7260}, {4560, 4020, 5160, 5520}, Shown::Always, Column::Middle, Across::Grows, Down::Fills},
    // The strip under the preview and the right column.
    {"lblUpozorneni", {4560, 9570, 9045, 285}, kSame, Shown::Always, Column::Middle, Across::Grows, Down::Bottom},

    {"cmdEdit", {9860, 200, 3740, 465}, kSame, Shown::Professional, Column::Right, Across::Fixed, Down::Top},
    {"fraUkazky", {9840, 720, 3735, 1500}, kSame, Shown::Always, Column::Right, Across::Fixed, Down::Top},
    {"fraPrikazy", {9840, 3200, 3735, 1300}, {9840, 2269, 3735, 1300}, Shown::Always, Column::Right, Across::Fixed, Down::Top},
    {"fraVelikost", {9840, 5400, 3735, 600}, {9840, 3618, 3735, 600}, Shown::Always, Column::Right, Across::Fixed, Down::Top},
    {"fraCisla", {9840, 4267, 3735, 2400}, kSame, Shown::ByState, Column::Right, Across::Fixed, Down::Top},
    {"fraDoplneni", {9840, 6660, 3735, 1755}, kSame, Shown::Professional, Column::Right, Across::Fixed, Down::Top},
    // Over the right column's frames while names are edited by hand.
    {"txtEdit", {9840, 720, 3780, 7755}, kSame, Shown::ByState, Column::Right, Across::Fixed, Down::Fills},
    {"chkKazdy", {10200, 8520, 255, 315}, kSame, Shown::Always, Column::Right, Across::Fixed, Down::Bottom},
    {"lblPotvrzovat", {9840, 8880, 900, 615}, kSame, Shown::Always, Column::Right, Across::Fixed, Down::Bottom},
    {"cmdPrejmenovat", {10920, 8520, 1755, 960}, kSame, Shown::Always, Column::Right, Across::Fixed, Down::Bottom},
    {"lblVerze", {12675, 8880, 1050, 375}, kSame, Shown::Always, Column::Right, Across::Fixed, Down::Bottom},
};
// clang-format on

const Row* rowNamed(const char* name) {
    for (const Row& r : kRows)
        if (std::strcmp(r.name, name) == 0) return &r;
    return nullptr;
}

QRect start(const Row& row, int mode) {
    const Twips& t = mode == 1 && row.professional.left >= 0 ? row.professional : row.simple;
    return tw(t.left, t.top, t.width, t.height);
}

}  // namespace

QSize WindowLayout::startSize() { return QSize(zelvar::ui::px(13725), zelvar::ui::px(9885)); }

QRect WindowLayout::startGeometry(const char* name) {
    const Row* row = rowNamed(name);
    return row ? start(*row, 1) : QRect();
}

WindowLayout::WindowLayout(QWidget* client) : client_(client) {
    for (const Row& row : kRows)
        if (auto* w = client->findChild<QWidget*>(QString::fromLatin1(row.name), Qt::FindDirectChildrenOnly))
            controls_.push_back({w, int(&row - kRows)});
}

void WindowLayout::apply(int mode) {
    mode_ = mode;
    for (const Placed& p : controls_) {
        const Shown shown = kRows[p.row].shown;
        if (shown == Shown::Always) p.control->show();
        if (shown == Shown::Professional) p.control->setVisible(mode == 1);
    }
    place();
}

void WindowLayout::place() {
    const QSize extra = (client_->size() - startSize()).expandedTo(QSize(0, 0));
    // The preview shows two names a line, the file list and the tree one.
    const int leftWidth = extra.width() / 3;
    const int columnOffset[] = {0, leftWidth, extra.width()};
    const int columnExtra[] = {leftWidth, extra.width() - leftWidth, 0};
    const int dh = extra.height();
    for (const Placed& p : controls_) {
        const Row& row = kRows[p.row];
        QRect g = start(row, mode_);
        const int column = int(row.column);
        g.translate(columnOffset[column], 0);
        if (row.across == Across::Grows) g.setWidth(g.width() + columnExtra[column]);
        switch (row.down) {
            case Down::Top: break;
            case Down::Bottom: g.translate(0, dh); break;
            case Down::Fills: g.setHeight(g.height() + dh); break;
            case Down::UpperHalf: g.setHeight(g.height() + dh / 2); break;
            case Down::LowerHalf:
                g.translate(0, dh / 2);
                g.setHeight(g.height() + dh - dh / 2);
                break;
        }
        p.control->setGeometry(g);
    }
}
