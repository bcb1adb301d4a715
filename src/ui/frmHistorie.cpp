#include "ui/frmHistorie.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "rename/undo.h"
#include "ui/controls.h"

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kUndoableRole = Qt::UserRole + 1;

QString kindText(zelvar::RunKind kind) {
    switch (kind) {
        case zelvar::RunKind::undo: return QStringLiteral("vrácení");
        case zelvar::RunKind::redo: return QStringLiteral("opakování");
        case zelvar::RunKind::rename: break;
    }
    return QStringLiteral("přejmenování");
}

QString stateText(const zelvar::HistoryLine& line) {
    if (line.takenBack) return QStringLiteral("vráceno");
    return line.finished ? QStringLiteral("dokončeno") : QStringLiteral("přerušeno");
}

}  // namespace

frmHistorie::frmHistorie(const std::string& folder, std::function<void(const std::string&)> undo, QWidget* parent)
    : QDialog(parent), folder_(folder), undo_(std::move(undo)) {
    setObjectName(QStringLiteral("frmHistorie"));
    setWindowTitle(QStringLiteral("Historie přejmenování"));
    setModal(true);

    lblSlozka = new QLabel(this);
    lblSlozka->setObjectName(QStringLiteral("lblSlozka"));
    lblSlozka->setTextFormat(Qt::PlainText);
    lblSlozka->setText(QStringLiteral("Složka: ") + zelvar::ui::toQ(zelvar::fromUtf8(folder)));

    lstHistorie = new QTreeWidget(this);
    lstHistorie->setObjectName(QStringLiteral("lstHistorie"));
    lstHistorie->setRootIsDecorated(false);
    lstHistorie->setUniformRowHeights(true);
    lstHistorie->setAllColumnsShowFocus(true);
    lstHistorie->setHeaderLabels(
        {QStringLiteral("Čas"), QStringLiteral("Druh"), QStringLiteral("Přejmenováno"), QStringLiteral("Stav")});
    lstHistorie->header()->setStretchLastSection(true);
    lstHistorie->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstHistorie->header()->setSectionResizeMode(3, QHeaderView::Stretch);

    cmdVratit = new QPushButton(QStringLiteral("&Vrátit vybrané přejmenování"), this);
    cmdVratit->setObjectName(QStringLiteral("cmdVratit"));
    cmdZavrit = new QPushButton(QStringLiteral("Zavřít"), this);
    cmdZavrit->setObjectName(QStringLiteral("cmdZavrit"));
    cmdZavrit->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdVratit);
    buttons->addStretch(1);
    buttons->addWidget(cmdZavrit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSlozka);
    layout->addWidget(lstHistorie, 1);
    layout->addLayout(buttons);

    connect(cmdVratit, &QPushButton::clicked, this, &frmHistorie::cmdVratit_Click);
    connect(cmdZavrit, &QPushButton::clicked, this, &QDialog::accept);
    connect(lstHistorie, &QTreeWidget::currentItemChanged, this, [this] { chosen(); });
    reload();
    resize(sizeHint().expandedTo(QSize(560, 320)));
}

void frmHistorie::reload() {
    lstHistorie->clear();
    for (const zelvar::HistoryLine& line : zelvar::runHistory(folder_)) {
        auto* item = new QTreeWidgetItem(lstHistorie);
        item->setText(0, QString::fromStdString(zelvar::localTimeText(line.seconds)));
        item->setText(1, kindText(line.kind));
        // A killed run whose count is not known shows "?", as --history does.
        const QString renamed = line.renamed < 0 ? QStringLiteral("?") : QString::number(line.renamed);
        item->setText(2, renamed + QLatin1Char('/') + QString::number(line.planned));
        item->setText(3, stateText(line));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kIdRole, QString::fromStdString(line.id));
        item->setData(0, kUndoableRole, line.undoable);
    }
    if (lstHistorie->topLevelItemCount() > 0) lstHistorie->setCurrentItem(lstHistorie->topLevelItem(0));
    chosen();
}

void frmHistorie::chosen() {
    const QTreeWidgetItem* item = lstHistorie->currentItem();
    cmdVratit->setEnabled(item && item->data(0, kUndoableRole).toBool());
}

void frmHistorie::cmdVratit_Click() {
    const QTreeWidgetItem* item = lstHistorie->currentItem();
    if (!item || !item->data(0, kUndoableRole).toBool()) return;
    const std::string id = item->data(0, kIdRole).toString().toStdString();
    setEnabled(false);
    undo_(id);
    setEnabled(true);
    reload();
}
