// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Go to" dialog of the dashboard's target button once there are routes:
// go to a pushpin (the point selection dialog follows), follow a route from
// a chosen point, or, while a route is followed, go on to its next point,
// back to the previous one, or stop following it.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace wp2 {

class RouteNavigator;
class Routes;

class GoToDialog : public QDialog {
    Q_OBJECT

public:
    // What exec() returns.
    enum Answer { Cancel = 0, Pushpin, Route, Next, Previous, Stop };

    // following: the route being followed (none: none is).
    GoToDialog(const Routes& routes, const RouteNavigator* following, QWidget* parent = nullptr);

    // The route and its starting point chosen (for Route).
    int route() const;
    int start() const;

    QComboBox* routeList() const { return routeList_; }
    QComboBox* startList() const { return startList_; }
    QPushButton* followButton() const { return follow_; }
    QPushButton* pushpinButton() const { return pushpin_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* previousButton() const { return previous_; }
    QPushButton* stopButton() const { return stop_; }
    QLabel* followingLabel() const { return following_; }

private:
    void fillStarts();

    const Routes& routes_;
    QComboBox* routeList_;
    QComboBox* startList_;
    QPushButton* follow_;
    QPushButton* pushpin_;
    QLabel* following_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* stop_;
    QPushButton* cancel_;
};

}  // namespace wp2
