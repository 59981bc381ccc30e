// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The travelled track: an array of track points behind a recording filter
// that drops parked and straight-line fixes, merges the RMC and GGA halves of
// one fix and marks segments. One log per point source.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/result.h"
#include "core/track/track_point.h"

namespace wp2 {

// Bits of TrackLog::options ("TrackState").
namespace TrackState {
inline constexpr std::uint32_t AutoSave = 0x001;
inline constexpr std::uint32_t SplitOnGap = 0x002;
inline constexpr std::uint32_t ParkingFilter = 0x008;
inline constexpr std::uint32_t StraightFilter = 0x010;
inline constexpr std::uint32_t AutoLoad = 0x080;
inline constexpr std::uint32_t MarkPoints = 0x100;
inline constexpr std::uint32_t Paused = 0x400;
inline constexpr std::uint32_t Default = 0x99;
}  // namespace TrackState

inline constexpr const char* kLinkAutosavePath = "My Documents/KWAutosave.atk";
inline constexpr const char* kEmulationAutosavePath = "My Documents/KWAutosave2.atk";
inline constexpr const char* kTrackFileFilter = "Track (*.atk)|*.atk||";
inline constexpr const char* kTrackFileExtension = "atk";

// Registry value names of the track options.
inline constexpr const char* kTrackStateValue = "TrackState";
inline constexpr const char* kTrackPdopThresholdValue = "TrackPDOPThreshold";
inline constexpr const char* kTrackStraightThresholdValue = "TrackStraightThreshold";
inline constexpr const char* kTrackParkingThresholdValue = "TrackParkingThreshold";
inline constexpr const char* kTrackWidthValue = "TrackWidth";

// Points are stored in one array that grows by this many at a time.
inline constexpr int kTrackGrowth = 1000;

class Registry;
struct TrackFileImage;
class TripComputer;

// How the autosave file was loaded.
struct TrackAutoLoad {
    bool loaded = false;
    // For the user when the file was damaged: how many points were recovered
    // and where the damaged file was kept; "" otherwise.
    std::string damage;
};

class TrackLog {
public:
    // An empty path means the receiver link's autosave file. The log starts
    // empty with the default options; nothing is read or written until
    // start() and finish().
    explicit TrackLog(const std::string& autosavePath = "");
    TrackLog(const TrackLog&) = delete;
    TrackLog& operator=(const TrackLog&) = delete;

    // When the program starts: loads the options from the registry and, with
    // AutoLoad, the autosave file.
    TrackAutoLoad start(Registry& registry);
    // When the program ends: saves to the autosave file with AutoSave (its
    // failure is the result), empties the log, then writes the options to
    // the registry.
    Result<> finish(Registry& registry);

    // Drops every point and starts again with room for 1000.
    void clear();
    // The recording filter: true when the fix was stored, merged into the last
    // point or passed over as undated; false when refused (also when it holds
    // what impossibleValue finds). Sets or clears Marked in the offered point
    // (except while Paused).
    bool addFix(TrackPoint& point);
    // The fix was lost: the last dated point ends its segment.
    void signalLost();
    // The trip computer that the filter's verdicts feed (none: nothing is
    // counted); it must outlive the log or be taken away first.
    void setTripComputer(TripComputer* trip) { trip_ = trip; }
    // i places before the newest (0 = newest); nothing when i is outside the track.
    std::optional<TrackPoint> pointFromEnd(int i) const;

    int count() const { return count_; }
    int capacity() const { return capacity_; }
    int datedCount() const { return datedCount_; }
    int lastDatedIndex() const { return lastDatedIndex_; }
    // Stored point i, 0 <= i < count().
    const TrackPoint& at(int i) const { return points_[static_cast<std::size_t>(i)]; }

    // Options and thresholds in the settings key of the registry.
    void loadOptions(Registry& registry);
    void saveOptions(Registry& registry);

    // Track files, on currentFileName (none: false). A file that cannot be read or is not a
    // sound track file leaves the track as it was and gives false; for a
    // damaged one the failure holds the path and the problem
    // (trackNotLoadedText). A save that fails gives the path and the
    // system's reason.
    Result<bool> load();
    Result<bool> save();
    // Replaces the whole track with points read elsewhere (an imported GPX
    // track), kept as they are: no recording filter. False, and the track
    // unchanged, when memory runs out or there are more than INT_MAX points.
    bool replaceTrack(std::vector<TrackPoint> points);
    // load() / save() on autosavePath; currentFileName is kept. A
    // damaged autosave file is kept aside ("KWAutosave.atk.bad") and the
    // points that can be trusted are loaded.
    TrackAutoLoad autoLoad();
    Result<bool> autoSave();

    std::string currentFileName = "Track";
    std::string autosavePath;
    std::int32_t reserved = 0;
    double legacyA = 0.0;
    double legacyB = 0.0;
    std::uint32_t options = TrackState::Default;
    double pdopThreshold = 0.0;
    double straightThreshold = 40.0;
    double parkingThreshold = 15.0;
    double width = 20.0;

private:
    bool append(const TrackPoint& point);
    TrackPoint& last() { return points_[static_cast<std::size_t>(count_ - 1)]; }
    void adopt(TrackFileImage&& image);

    std::vector<TrackPoint> points_;  // capacity_ entries; the first count_ are the track
    int capacity_ = 0;
    int count_ = 0;
    int datedCount_ = 0;
    int lastDatedIndex_ = -1;
    TripComputer* trip_ = nullptr;
};

// "The track file PATH is damaged (PROBLEM) and was not loaded.", for a
// failed load().
std::string trackNotLoadedText(const Failure& failure);

}  // namespace wp2
