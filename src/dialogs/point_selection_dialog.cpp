// SPDX-License-Identifier: GPL-3.0-or-later
#include "point_selection_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "core/waypoints/pushpins.h"
#include "dialog_builder.h"

namespace wp2 {

namespace {

constexpr int kIndexRole = Qt::UserRole;

// List entries sort by name without regard to case, as the handheld's sorted
// list boxes do.
class NameItem : public QListWidgetItem {
public:
    NameItem(const QString& name, int index) : QListWidgetItem(name) { setData(kIndexRole, index); }
    bool operator<(const QListWidgetItem& other) const override {
        const int byLetters = text().compare(other.text(), Qt::CaseInsensitive);
        return byLetters != 0 ? byLetters < 0 : text() < other.text();
    }
};

}  // namespace

PointSelectionDialog::PointSelectionDialog(Pushpins& pushpins, QWidget* parent,
                                           const QString& searchText)
    : QDialog(parent), pushpins_(pushpins), searchText_(searchText) {
    DialogBuilder b(*this, "Select point", 150, 170);
    caption_ = b.label("", 5, 4, 140, 10);
    list_ = b.list(5, 16, 140, 130);
    ok_ = b.button("OK", 20, 152, 50, 14);
    cancel_ = b.button("Cancel", 80, 152, 50, 14);
    ok_->setDefault(true);
    caption_->setText("Select point");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(true);
    fill();
    b.finish();

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        if (list_->currentItem() && list_->currentItem()->isSelected()) {
            accept();
        }
    });
}

void PointSelectionDialog::fill() {
    list_->clear();
    int index = 0;
    for (const Pushpin& p : pushpins_) {
        list_->addItem(new NameItem(QString::fromStdString(p.name), index++));
    }
    list_->sortItems();
    const int row = preselection(*list_, searchText_);
    if (row >= 0) {
        list_->setCurrentRow(row);
    }
}

int PointSelectionDialog::preselection(const QListWidget& list, const QString& searchText) {
    const int n = list.count();
    if (n == 0) {
        return -1;
    }
    if (!searchText.isEmpty()) {
        for (int step = 1; step <= n; ++step) {
            const int row = step % n;
            if (list.item(row)->text().startsWith(searchText, Qt::CaseInsensitive)) {
                return row;
            }
        }
    }
    return 0;
}

void PointSelectionDialog::accept() {
    QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) {
        reject();
        return;
    }
    const int index = item->data(kIndexRole).toInt();
    if (!pushpins_.at(index)) {
        reject();
        return;
    }
    pushpins_.setTargetIndex(index);
    QDialog::accept();
}

int runPointSelectionDialog(QWidget* parent, Pushpins& pushpins) {
    PointSelectionDialog dialog(pushpins, parent);
    return dialog.exec();
}

}  // namespace wp2
