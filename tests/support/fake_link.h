// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A receiver link on simulated time for the link and dialog tests: scripted
// serial devices prefix + "1" .. prefix + "9" for the serial port numbers, a
// track log that saves nothing, and the settings given (which must outlive it).

#include <memory>
#include <string>

#include "core/base/clock.h"
#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_status_flags.h"
#include "core/track/track_log.h"
#include "support/fake_serial_port.h"
#include "support/nmea_lines.h"

namespace wp2::test {

class FakeLink {
public:
    explicit FakeLink(const SettingsServices& settings, const std::string& prefix = "com",
                      std::time_t start = 1700000000)
        : clock{start} {
        auto track = std::make_unique<TrackLog>();
        track->options &= ~(TrackState::AutoLoad | TrackState::AutoSave);
        link = std::make_unique<GpsLink>(clock, settings, std::move(track));
        auto fake = std::make_unique<FakeSerialPort>();
        port = fake.get();
        link->setSerialPort(std::move(fake));
        link->setTimers(&timers);
        PortMap map(settings.registry);  // the stored "Port<n>" values below the devices set here
        for (int n = 1; n <= 9; ++n) {
            map.setDevice(n, prefix + std::to_string(n));
        }
        link->setPortMap(map);
    }

    // A receiver on `device` that sends `bytes` whenever it is opened.
    void receiverOn(const std::string& device, const std::string& bytes) {
        port->available.insert(device);
        port->greeting = [device, bytes](const std::string& d) {
            return d == device ? bytes : std::string();
        };
    }
    bool linkOpen() const { return link->state().has(GpsStatusFlags::LinkOpen); }

    ManualClock clock;
    TimerQueue timers{clock};
    FakeSerialPort* port = nullptr;
    std::unique_ptr<GpsLink> link;
};

}  // namespace wp2::test
