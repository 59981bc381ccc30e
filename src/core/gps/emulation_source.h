// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Emulation mode: instead of a receiver, each snapshot refresh reads the next
// line of a text file ("Windows/move4.txt") and presents it as a 3D fix, with
// speed and PDOP stepping through fixed tables so the instruments move. The
// file is replayed endlessly. Positions go into a track log of the
// emulation's own, autosaved to "My Documents/KWAutosave2.atk".
//
// A line: "lat,lon,alt,speed,course" (degrees, degrees, metres, ignored,
// radians) followed by twelve "*snr,elevation,azimuth" groups (radians).

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/base/result.h"
#include "core/gps/nav_snapshot.h"
#include "core/track/track_log.h"

namespace wp2 {

class EmulationSource {
public:
    static constexpr const char* kDefaultFile = "Windows/move4.txt";
    static constexpr int kLineLength = 4000;
    // After a rewind the first line is read with this smaller limit.
    static constexpr int kRewindLineLength = 900;
    static constexpr int kSatellites = 12;
    // Why a line of the file cannot be used, as the user is told.
    static constexpr const char* kBadFormatText = "Bad format";

    // The snapshot must outlive the source.
    explicit EmulationSource(NavSnapshot& snapshot);
    // Closes the file and takes the file and the track log back from the
    // snapshot; the track log autosaves as it goes.
    ~EmulationSource();
    EmulationSource(const EmulationSource&) = delete;
    EmulationSource& operator=(const EmulationSource&) = delete;

    // Opens the file (a handheld name mapped into the data root, or an
    // absolute path) for reading; on failure the snapshot has no emulation
    // file. In either case the emulation track log is made (once) and handed
    // to the snapshot.
    Result<> open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }

    // The emulation branch of the snapshot refresh; tick is the dashboard's
    // frame counter. Does nothing while no file is open. A line short of
    // satellite groups keeps what was read and fails with kBadFormatText.
    Result<> refresh(std::uint32_t tick);

    TrackLog* track() { return track_.get(); }

    // Emulated speed (m/s) and PDOP at a tick.
    static double speedAt(std::uint32_t tick);
    static double pdopAt(std::uint32_t tick);

private:
    bool readLine(std::string& line);
    void applyHead(const char* line);
    bool applySatellites(const char* line);

    NavSnapshot& snapshot_;
    std::FILE* file_ = nullptr;
    std::unique_ptr<TrackLog> track_;
};

// One refresh of the snapshot: the emulation branch while the emulation file
// is open (with its result), otherwise the live branch from the snapshot's
// receiver link (nothing changes without one).
Result<> refreshSnapshot(NavSnapshot& snapshot, EmulationSource* emulation, std::uint32_t tick);

// The track log the dashboard shows: the emulation's while its file is open,
// otherwise the snapshot's link's; none without either.
TrackLog* trackLog(NavSnapshot& snapshot);

}  // namespace wp2
