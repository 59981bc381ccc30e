// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGTERM, SIGINT and SIGHUP delivered to the user-interface thread, so that
// they end the program the orderly way (the same as its Quit button). A quit
// signal more than a second after the first gets the default action, so a
// program that hangs while ending can still be stopped; one that follows at
// once is the same request sent twice (to the program and to its process
// group) and changes nothing.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace wp2 {

class QuitSignals : public QObject {
public:
    // handler(signal number) runs on the thread that made this object.
    explicit QuitSignals(std::function<void(int)> handler);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    bool installed() const { return installed_; }

private:
    void deliver();

    std::function<void(int)> handler_;
    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
};

}  // namespace wp2
