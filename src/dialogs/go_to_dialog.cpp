// SPDX-License-Identifier: GPL-3.0-or-later
#include "go_to_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "core/routes/route_navigator.h"
#include "core/routes/routes.h"
#include "dialog_builder.h"
#include "dialog_layout.h"

namespace wp2 {

GoToDialog::GoToDialog(const Routes& routes, const RouteNavigator* following, QWidget* parent)
    : QDialog(parent), routes_(routes) {
    DialogBuilder b(*this, "Go to", 160, 106);
    b.label("Route:", 3, 5, 26, 9);
    routeList_ = b.dropDown(30, 3, 127);
    b.label("From:", 3, 21, 26, 9);
    startList_ = b.dropDown(30, 19, 127);
    follow_ = b.button("Follow route", 3, 36, 76, 14);
    pushpin_ = b.button("Pushpin...", 81, 36, 76, 14);
    following_ = b.label("", 3, 56, 154, 10);
    previous_ = b.button("Previous", 3, 69, 50, 14);
    next_ = b.button("Next", 55, 69, 50, 14);
    stop_ = b.button("Stop", 107, 69, 50, 14);
    cancel_ = b.button("Cancel", 107, 88, 50, 14);
    for (const wp2::Route& r : routes.all()) {
        routeList_->addItem(uiText(r.name));
    }
    if (following) {
        const int index = routes.indexOf(following->route().name);
        routeList_->setCurrentIndex(index >= 0 ? index : 0);
        const RoutePoint* point = following->currentPoint();
        following_->setText(uiText(following->progressText() + " " +
                                   (point ? point->name : following->route().name)));
    } else {
        following_->setText("No route followed");
    }
    fillStarts();
    for (QPushButton* button : {previous_, next_, stop_}) {
        button->setEnabled(following != nullptr);
    }
    follow_->setDefault(true);
    b.finish();

    connect(routeList_, &QComboBox::currentIndexChanged, this, &GoToDialog::fillStarts);
    connect(follow_, &QPushButton::clicked, this, [this] { done(Route); });
    connect(pushpin_, &QPushButton::clicked, this, [this] { done(Pushpin); });
    connect(previous_, &QPushButton::clicked, this, [this] { done(Previous); });
    connect(next_, &QPushButton::clicked, this, [this] { done(Next); });
    connect(stop_, &QPushButton::clicked, this, [this] { done(Stop); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void GoToDialog::fillStarts() {
    startList_->clear();
    const int index = routeList_->currentIndex();
    if (index >= 0 && index < routes_.count()) {
        int k = 0;
        const wp2::Route& r = routes_.all()[index];
        for (const RoutePoint& p : r.points) {
            startList_->addItem(
                uiText(routeProgressText(k++, static_cast<int>(r.points.size())) + " " + p.name));
        }
    }
    // A route whose points were all removed has nothing to follow.
    follow_->setEnabled(startList_->count() > 0);
}

int GoToDialog::route() const {
    return routeList_->currentIndex();
}

int GoToDialog::start() const {
    return std::max(0, startList_->currentIndex());
}

}  // namespace wp2
