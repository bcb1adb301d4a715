#include "ui/PresetManager.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/presets.h"
#include "ui/controls.h"

using namespace zelvar;

namespace {

Text quoted(const std::string& name) { return T("„") + fromUtf8(name) + T("“"); }

}  // namespace

PresetManager::PresetManager(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmPredvolby"));
    setWindowTitle(QStringLiteral("Spravovat předvolby"));
    list_ = ui::named(new QListWidget(this), "lstPredvolby");
    cmdPrejmenovat_ = ui::named(new QPushButton(QStringLiteral("&Přejmenovat..."), this), "cmdPrejmenovat");
    cmdSmazat_ = ui::named(new QPushButton(QStringLiteral("&Smazat"), this), "cmdSmazat");
    auto* cmdZavrit = ui::named(new QPushButton(QStringLiteral("&Zavřít"), this), "cmdZavrit");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdPrejmenovat_);
    buttons->addWidget(cmdSmazat_);
    buttons->addStretch();
    buttons->addWidget(cmdZavrit);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(420, 260);

    connect(list_, &QListWidget::itemSelectionChanged, this, &PresetManager::selectionChanged);
    connect(list_, &QListWidget::itemDoubleClicked, this, &PresetManager::renameSelected);
    connect(cmdPrejmenovat_, &QPushButton::clicked, this, &PresetManager::renameSelected);
    connect(cmdSmazat_, &QPushButton::clicked, this, &PresetManager::removeSelected);
    connect(cmdZavrit, &QPushButton::clicked, this, &QDialog::accept);
    fill();
}

void PresetManager::fill(const std::string& select) {
    list_->clear();
    for (const std::string& name : presetNames()) {
        auto* item = new QListWidgetItem(ui::nativeToQ(name), list_);
        item->setData(Qt::UserRole, QByteArray::fromStdString(name));
        if (name == select) list_->setCurrentItem(item);
    }
    if (list_->count() > 0 && !list_->currentItem()) list_->setCurrentRow(0);
    selectionChanged();
}

std::string PresetManager::selected() const {
    const QListWidgetItem* item = list_->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}

void PresetManager::selectionChanged() {
    const bool any = !selected().empty();
    cmdPrejmenovat_->setEnabled(any);
    cmdSmazat_->setEnabled(any);
}

void PresetManager::renameSelected() {
    const std::string from = selected();
    if (from.empty()) return;
    const std::optional<Text> typed = dialogs_.askText(T("Nové jméno předvolby:"), fromUtf8(from));
    if (!typed) return;
    const std::string to = toUtf8(*typed);
    if (to == from) return;
    if (const Text error = renamePreset(from, to); !error.empty()) {
        dialogs_.messageBox(error, box::exclamation);
        fill(from);
        return;
    }
    changed_ = true;
    fill(to);
}

void PresetManager::removeSelected() {
    const std::string name = selected();
    if (name.empty()) return;
    if (dialogs_.messageBox(T("Opravdu chcete smazat předvolbu ") + quoted(name) + T("?"), box::yesNo) != Answer::yes)
        return;
    if (const Text error = removePreset(name); !error.empty()) dialogs_.messageBox(error, box::exclamation);
    changed_ = true;
    fill();
}
