// SPDX-License-Identifier: GPL-3.0-or-later
#include "routes_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/base/cformat.h"
#include "core/routes/routes.h"
#include "core/track/file_chooser.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpins.h"
#include "dialog_builder.h"
#include "dialog_layout.h"
#include "messages/message_box.h"

namespace wp2 {

RoutesDialog::RoutesDialog(Routes& routes, const Pushpins& pushpins, FileChooser& files,
                           MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), routes_(routes), pushpins_(pushpins), files_(files), boxes_(boxes) {
    DialogBuilder b(*this, "Routes", 160, 180);
    routeList_ = b.dropDown(3, 3, 154);
    points_ = b.list(3, 18, 154, 80);
    pushpinList_ = b.dropDown(3, 101, 102);
    add_ = b.button("Add", 107, 100, 50, 14);
    up_ = b.button("Up", 3, 117, 37, 14);
    down_ = b.button("Down", 42, 117, 37, 14);
    remove_ = b.button("Remove", 81, 117, 37, 14);
    reverse_ = b.button("Reverse", 120, 117, 37, 14);
    name_ = b.edit(3, 134, 102, 13);
    rename_ = b.button("Rename", 107, 133, 50, 14);
    new_ = b.button("New", 3, 150, 37, 14);
    delete_ = b.button("Delete", 42, 150, 37, 14);
    import_ = b.button("Import", 81, 150, 37, 14);
    export_ = b.button("Export", 120, 150, 37, 14);
    b.label("Points are copies of the pushpins.", 3, 168, 102, 9);
    ok_ = b.button("OK", 107, 166, 50, 14);
    ok_->setDefault(true);
    points_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const Pushpin& p : pushpins_) {
        pushpinList_->addItem(uiText(p.name));
    }
    fill(0);
    b.finish();

    connect(routeList_, &QComboBox::currentIndexChanged, this, &RoutesDialog::showPoints);
    connect(points_, &QListWidget::currentRowChanged, this, &RoutesDialog::enableButtons);
    connect(add_, &QPushButton::clicked, this, [this] {
        const Pushpin* pushpin = pushpins_.at(pushpinList_->currentIndex());
        const int after = currentPoint();
        if (pushpin) {
            edit(
                [&](int r) {
                    return routes_.addPoint(r, routePointFrom(*pushpin),
                                            after < 0 ? -1 : after + 1);
                },
                after < 0 ? points_->count() : after + 1);
        }
    });
    const auto move = [this](int step) {
        const int k = currentPoint();
        edit([&](int r) { return routes_.movePoint(r, k, step); }, k + step);
    };
    connect(up_, &QPushButton::clicked, this, [move] { move(-1); });
    connect(down_, &QPushButton::clicked, this, [move] { move(+1); });
    connect(remove_, &QPushButton::clicked, this, [this] {
        const int k = currentPoint();
        edit([&](int r) { return routes_.removePoint(r, k); });
    });
    connect(reverse_, &QPushButton::clicked, this,
            [this] { edit([this](int r) { return routes_.reverse(r); }); });
    connect(rename_, &QPushButton::clicked, this, [this] {
        edit([this](int r) { return routes_.rename(r, utf8(name_->text().trimmed())); });
    });
    connect(new_, &QPushButton::clicked, this, &RoutesDialog::newRoute);
    connect(delete_, &QPushButton::clicked, this, &RoutesDialog::deleteRoute);
    connect(import_, &QPushButton::clicked, this, &RoutesDialog::importFile);
    connect(export_, &QPushButton::clicked, this, &RoutesDialog::exportFile);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void RoutesDialog::fill(int route) {
    {
        const QSignalBlocker quiet(routeList_);
        routeList_->clear();
        for (const Route& r : routes_.all()) {
            routeList_->addItem(uiText(r.name));
        }
        routeList_->setCurrentIndex(std::min(route, routes_.count() - 1));
    }
    showPoints();
}

int RoutesDialog::currentRoute() const {
    const int r = routeList_->currentIndex();
    return r >= 0 && r < routes_.count() ? r : -1;
}

int RoutesDialog::currentPoint() const {
    return points_->currentItem() && points_->currentItem()->isSelected() ? points_->currentRow()
                                                                          : -1;
}

void RoutesDialog::showPoints() {
    const int r = currentRoute();
    {
        const QSignalBlocker quiet(points_);
        points_->clear();
        if (r >= 0) {
            const std::vector<RoutePoint>& points = routes_.all()[r].points;
            for (std::size_t k = 0; k < points.size(); ++k) {
                points_->addItem(
                    uiText(routeProgressText(static_cast<int>(k), static_cast<int>(points.size())) +
                           " " + points[k].name));
            }
        }
    }
    name_->setText(r >= 0 ? uiText(routes_.all()[r].name) : QString());
    enableButtons();
}

void RoutesDialog::enableButtons() {
    const int r = currentRoute();
    const int k = currentPoint();
    const bool anyPushpin = pushpinList_->count() > 0;
    add_->setEnabled(r >= 0 && anyPushpin);
    new_->setEnabled(anyPushpin);
    for (QPushButton* button : {reverse_, rename_, delete_, export_}) {
        button->setEnabled(r >= 0);
    }
    up_->setEnabled(k > 0);
    down_->setEnabled(k >= 0 && k + 1 < points_->count());
    remove_->setEnabled(k >= 0);
}

void RoutesDialog::edit(const std::function<Result<>(int route)>& change, int select) {
    const int r = currentRoute();
    if (r < 0) {
        return;
    }
    if (const Result<> done = change(r); !done) {
        showMessage(boxes_, done.error().text(), kApplicationCaption, MessageIcon::Exclamation);
        return;
    }
    fill(r);
    if (select >= 0 && select < points_->count()) {
        points_->setCurrentRow(select);
    }
}

void RoutesDialog::newRoute() {
    const Pushpin* first = pushpins_.at(pushpinList_->currentIndex());
    if (!first) {
        return;
    }
    std::string name = utf8(name_->text().trimmed());
    for (int n = routes_.count() + 1; name.empty() || routes_.find(name); ++n) {
        name = cformat("Route %d", n);
    }
    Route route{name, {routePointFrom(*first)}};
    if (const Result<> added = routes_.add(std::move(route)); !added) {
        showMessage(boxes_, added.error().text(), kApplicationCaption, MessageIcon::Exclamation);
        return;
    }
    fill(routes_.count() - 1);
}

void RoutesDialog::deleteRoute() {
    const int r = currentRoute();
    if (r < 0 || showMessage(boxes_, "Delete the route \"" + routes_.all()[r].name + "\"?",
                             kDeleteRouteCaption, MessageIcon::Exclamation,
                             MessageButtons::OkCancel) != MessageResult::Ok) {
        return;
    }
    (void)routes_.remove(r);
    fill(std::max(0, r - 1));
}

void importRoutesTold(MessageBoxes& boxes, Routes& routes, const std::string& path) {
    const Result<int> added = routes.importGpx(path);
    if (!added) {
        showMessage(boxes, added.error().text(), kApplicationCaption, MessageIcon::Exclamation);
    } else if (*added > 0) {
        showMessage(boxes,
                    *added == 1 ? std::string("1 route was added to the routes.")
                                : cformat("%d routes were added to the routes.", *added),
                    kApplicationCaption, MessageIcon::None);
    }
}

void RoutesDialog::importFile() {
    const std::optional<std::string> path = files_.openFile({kRouteFileFilter, "gpx", ""});
    if (!path) {
        return;
    }
    const int before = routes_.count();
    importRoutesTold(boxes_, routes_, *path);
    fill(routes_.count() > before ? before : currentRoute());
}

void RoutesDialog::exportFile() {
    const std::optional<std::string> path = files_.saveFile({kRouteFileFilter, "gpx", "Routes"});
    if (!path) {
        return;
    }
    if (const Result<> written = routes_.exportGpx(*path); !written) {
        showMessage(boxes_, exportFailedText(*path, written.error().reason), kApplicationCaption,
                    MessageIcon::Exclamation);
    }
}

int runRoutesDialog(QWidget* parent, Routes& routes, const Pushpins& pushpins, FileChooser& files,
                    MessageBoxes& boxes) {
    RoutesDialog dialog(routes, pushpins, files, boxes, parent);
    return dialog.exec();
}

}  // namespace wp2
