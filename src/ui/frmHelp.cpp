#include "ui/frmHelp.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

frmHelp::frmHelp(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Zelvar - nápověda"));
    resize(640, 600);

    txtNapoveda = new QTextBrowser(this);
    txtNapoveda->setObjectName(QStringLiteral("txtNapoveda"));
    txtNapoveda->setOpenExternalLinks(false);
    txtNapoveda->setSource(QUrl(QStringLiteral("qrc:/help/napoveda.html")));

    auto* label = new QLabel(QStringLiteral("&Hledat:"), this);
    txtHledat = new QLineEdit(this);
    txtHledat->setObjectName(QStringLiteral("txtHledat"));
    txtHledat->setClearButtonEnabled(true);
    label->setBuddy(txtHledat);
    auto* next = new QPushButton(QStringLiteral("&Další"), this);
    auto* previous = new QPushButton(QStringLiteral("&Předchozí"), this);
    auto* close = new QPushButton(QStringLiteral("Zavřít"), this);
    for (QPushButton* b : {next, previous, close}) b->setAutoDefault(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(txtHledat, 1);
    bar->addWidget(next);
    bar->addWidget(previous);
    bar->addSpacing(12);
    bar->addWidget(close);
    auto* all = new QVBoxLayout(this);
    all->addWidget(txtNapoveda, 1);
    all->addLayout(bar);

    connect(next, &QPushButton::clicked, this, [this] { find(false); });
    connect(previous, &QPushButton::clicked, this, [this] { find(true); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(txtHledat, &QLineEdit::returnPressed, this,
            [this] { find(QApplication::keyboardModifiers() & Qt::ShiftModifier); });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        txtHledat->setFocus();
        txtHledat->selectAll();
    });
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this, [this] { find(false); });
    connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this, [this] { find(true); });
    txtNapoveda->setFocus();
}

frmHelp* frmHelp::open(QWidget* owner, bool search) {
    frmHelp* help = owner->findChild<frmHelp*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help) help = new frmHelp(owner);
    help->show();
    help->raise();
    help->activateWindow();
    if (search) {
        help->txtHledat->setFocus();
        help->txtHledat->selectAll();
    }
    return help;
}

bool frmHelp::find(bool backwards) {
    const QString wanted = txtHledat->text();
    if (wanted.isEmpty()) return false;
    const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (txtNapoveda->find(wanted, flags)) return true;
    // Round again from the other end.
    QTextCursor from = txtNapoveda->textCursor();
    from.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
    txtNapoveda->setTextCursor(from);
    if (txtNapoveda->find(wanted, flags)) return true;
    QApplication::beep();
    return false;
}
