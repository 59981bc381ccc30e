// SPDX-License-Identifier: GPL-3.0-or-later
#include "pushpins_dialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "core/settings/int_setting.h"
#include "core/track/file_chooser.h"
#include "core/waypoints/pushpin_export.h"
#include "core/waypoints/pushpin_gpx.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpins.h"
#include "dialog_builder.h"
#include "dialog_layout.h"
#include "export_format_dialog.h"
#include "messages/message_box.h"
#include "messages/ui_services.h"
#include "point_dialog.h"
#include "pushpin_icons.h"
#include "routes_dialog.h"

namespace wp2 {

namespace {

constexpr int kIconColumnWidth = 20;
constexpr int kNameColumnWidth = 70;
constexpr int kNoteColumnWidth = 200;
constexpr int kIconPixels = 16;

bool askOkCancel(MessageBoxes& boxes, const char* text, const char* caption) {
    return showMessage(boxes, text, caption, MessageIcon::Exclamation, MessageButtons::OkCancel) ==
           MessageResult::Ok;
}

}  // namespace

PushpinsDialog::PushpinsDialog(const UiServices& services, Pushpins& pushpins, QWidget* parent,
                               Routes* routes)
    : QDialog(parent), services_(services), pushpins_(pushpins), routes_(routes) {
    DialogBuilder b(*this, "Pushpins", 160, 180);
    list_ = new QTreeWidget(this);
    // With routes the list makes room for their button.
    list_->setGeometry(dluRect(3, 3, 154, routes ? 117 : 135));
    if (routes) {
        routesButton_ = b.button("Routes...", 3, 125, 48, 14);
        connect(routesButton_, &QPushButton::clicked, this, [this] {
            runRoutesDialog(this, *routes_, pushpins_, services_.files, services_.boxes);
        });
    }
    edit_ = b.button("Edit", 3, 143, 48, 14);
    delete_ = b.button("Delete", 56, 143, 48, 14);
    export_ = b.button("Export", 109, 143, 48, 14);
    import_ = b.button("Import", 3, 161, 48, 14);
    deleteAll_ = b.button("Delete all", 56, 161, 48, 14);
    ok_ = b.button("OK", 109, 161, 48, 14);
    ok_->setDefault(true);
    // The dialog opens with OK in focus: a list in focus would show its
    // first row as current, which looks selected although it is not.
    ok_->setFocus();
    edit_->setEnabled(false);
    delete_->setEnabled(false);
    export_->setEnabled(false);
    deleteAll_->setEnabled(false);

    list_->setEnabled(true);
    list_->setColumnCount(3);
    list_->setHeaderLabels({QString(), "Name", "Note"});
    list_->headerItem()->setTextAlignment(0, Qt::AlignHCenter);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsMovable(false);
    list_->setColumnWidth(0, scaled(kIconColumnWidth));
    list_->setColumnWidth(1, scaled(kNameColumnWidth));
    list_->setColumnWidth(2, scaled(kNoteColumnWidth));
    list_->setIconSize(QSize(scaled(kIconPixels), scaled(kIconPixels)));
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    fill();
    b.finish();

    connect(list_, &QTreeWidget::itemSelectionChanged, this, &PushpinsDialog::selectionTapped);
    // The current row is always the selected one (a row that only has the
    // focus frame looks selected too), so Edit and Delete act on what is seen.
    connect(list_, &QTreeWidget::currentItemChanged, this, [](QTreeWidgetItem* current) {
        if (current) {
            current->setSelected(true);
        }
    });
    connect(edit_, &QPushButton::clicked, this, &PushpinsDialog::editSelected);
    connect(delete_, &QPushButton::clicked, this, &PushpinsDialog::deleteSelected);
    connect(export_, &QPushButton::clicked, this, &PushpinsDialog::exportAll);
    connect(import_, &QPushButton::clicked, this, &PushpinsDialog::importFile);
    connect(deleteAll_, &QPushButton::clicked, this, &PushpinsDialog::deleteAll);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void PushpinsDialog::fill() {
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const Pushpin& p : pushpins_) {
        auto* row = new QTreeWidgetItem(list_);
        row->setIcon(0, pushpinQIcon(p.icon));
        row->setText(1, QString::fromStdString(p.name));
        row->setText(2, QString::fromStdString(p.note));
    }
    if (list_->topLevelItemCount() > 0) {
        export_->setEnabled(true);
        deleteAll_->setEnabled(true);
    }
    selectionTapped();
}

int PushpinsDialog::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

void PushpinsDialog::selectionTapped() {
    const bool any = selectedRow() >= 0;
    delete_->setEnabled(any);
    edit_->setEnabled(any);
}

void PushpinsDialog::editSelected() {
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    runPointDialog(this, services_, pushpins_, row, TrackPoint());
    fill();
    list_->setCurrentItem(list_->topLevelItem(row));
}

void PushpinsDialog::deleteSelected() {
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    const bool isTarget = row == pushpins_.targetIndex();
    if (!(isTarget ? askOkCancel(services_.boxes, kDeleteTargetText, kDeleteTargetCaption)
                   : askOkCancel(services_.boxes, kDeleteWaypointText, kDeleteWaypointCaption))) {
        return;
    }
    pushpins_.deleteAt(row);
    delete list_->takeTopLevelItem(row);
    list_->setCurrentItem(nullptr);  // no other row becomes selected unasked
    if (list_->topLevelItemCount() == 0) {
        export_->setEnabled(false);
        delete_->setEnabled(false);
        edit_->setEnabled(false);
    }
}

void PushpinsDialog::deleteAll() {
    if (!askOkCancel(services_.boxes, kDeleteAllText, kDeleteAllCaption)) {
        return;
    }
    pushpins_.removeAll();
    {
        const QSignalBlocker quiet(list_);
        list_->clear();
    }
    delete_->setEnabled(false);
    deleteAll_->setEnabled(false);
    export_->setEnabled(false);
    IntSetting counter(services_.settings(), kPointCounterValue, true, 1);
    counter.load();
    counter = 1;
}

void PushpinsDialog::exportAll() {
    const FileDialogRequest request{kExportFilter, kExportDefaultExtension, kExportProposedName};
    const std::optional<FileChoice> choice = services_.files.saveFileChoice(request);
    if (!choice) {
        return;
    }
    Result<> written;
    if (choice->filterIndex == 1) {
        written = exportShapefile(pushpins_, choice->path);
    } else if (choice->filterIndex == 2) {
        if (const std::optional<ExportFields> fields = runExportFormatDialog(this)) {
            written = exportText(pushpins_, choice->path, *fields);
        }
    } else if (choice->filterIndex == 3) {
        written = exportGpx(pushpins_, choice->path);
    }
    if (!written) {
        showMessage(services_.boxes, exportFailedText(choice->path, written.error().reason),
                    kApplicationCaption, MessageIcon::Exclamation);
    }
}

void PushpinsDialog::importFile() {
    const ImportResult result = chooseAndImportPushpins(pushpins_, services_.files);
    if (const std::optional<std::string> text = importMessage(result)) {
        showMessage(services_.boxes, *text, kApplicationCaption, MessageIcon::Exclamation);
    }
    if (result.status == ImportResult::Status::Cancelled ||
        result.status == ImportResult::Status::CannotOpen ||
        result.status == ImportResult::Status::UnknownExtension) {
        return;
    }
    if (routes_ && QString::fromStdString(result.path).endsWith(".gpx", Qt::CaseInsensitive)) {
        importRoutesTold(services_.boxes, *routes_, result.path);
    }
    fill();
}

int runPushpinsDialog(QWidget* parent, const UiServices& services, Pushpins& pushpins,
                      Routes* routes) {
    PushpinsDialog dialog(services, pushpins, parent, routes);
    return dialog.exec();
}

}  // namespace wp2
