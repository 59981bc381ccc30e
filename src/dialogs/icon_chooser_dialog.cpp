// SPDX-License-Identifier: GPL-3.0-or-later
#include "icon_chooser_dialog.h"

#include <QListWidget>
#include <QPushButton>

#include "core/base/cformat.h"
#include "dialog_builder.h"
#include "dialog_layout.h"
#include "pushpin_icons.h"

namespace wp2 {

namespace {

constexpr int kIconSpacing = 45;  // pixels between item origins, across and down
constexpr int kIconPixels = 16;

}  // namespace

IconChooserDialog::IconChooserDialog(int current, QWidget* parent) : QDialog(parent) {
    DialogBuilder b(*this, "", 150, 170);
    b.label("Select icon:", 5, 4, 140, 10);
    list_ = b.list(5, 16, 140, 130);
    ok_ = b.button("OK", 20, 152, 50, 14);
    cancel_ = b.button("Cancel", 80, 152, 50, 14);
    ok_->setDefault(true);

    list_->setViewMode(QListView::IconMode);
    list_->setMovement(QListView::Static);
    list_->setResizeMode(QListView::Adjust);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setIconSize(QSize(scaled(kIconPixels), scaled(kIconPixels)));
    list_->setGridSize(QSize(scaled(kIconSpacing), scaled(kIconSpacing)));
    for (int i = 0; i < pushpinIconListSize(); ++i) {
        list_->addItem(
            new QListWidgetItem(pushpinQIcon(i), QString::fromStdString(cformat("%d", i + 1))));
    }
    if (current >= 0 && current < list_->count()) {
        list_->setCurrentRow(current);
    }
    b.finish();

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

int IconChooserDialog::chosenIcon() const {
    const QListWidgetItem* item = list_->currentItem();
    return item && item->isSelected() ? list_->row(item) : -1;
}

int runIconChooser(QWidget* parent, int current) {
    IconChooserDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenIcon() < 0) {
        return -1;
    }
    setLastIconChosen(dialog.chosenIcon());
    return dialog.chosenIcon();
}

}  // namespace wp2
