#pragma once
// The travelled track: an array of track points behind a recording filter
// that drops parked and straight-line fixes, merges the RMC and GGA halves of
// one fix and marks segments. One log per point source.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

inline constexpr const char* kLinkAutosavePath = "\\My Documents\\KWAutosave.atk";
inline constexpr const char* kEmulationAutosavePath = "My Documents\\KWAutosave2.atk";
inline constexpr const char* kTrackFileFilter = "Track (*.atk)|*.atk||";

class TrackLog {
public:
    // An empty path means the receiver link's autosave file.
    explicit TrackLog(const std::string& autosavePath = "");
    virtual ~TrackLog();
    TrackLog(const TrackLog&) = delete;
    TrackLog& operator=(const TrackLog&) = delete;

    void clear();
    // The recording filter; may set Marked in the offered point.
    bool addFix(TrackPoint& point);
    void signalLost();
    // i places before the newest (0 = newest); nothing when i >= count.
    std::optional<TrackPoint> pointFromEnd(int i) const;

    int count() const { return count_; }
    int capacity() const { return capacity_; }
    int datedCount() const { return datedCount_; }
    int lastDatedIndex() const { return lastDatedIndex_; }
    const TrackPoint& at(int i) const { return points_[static_cast<std::size_t>(i)]; }

    void loadOptions();
    void saveOptions();

    // Track files.
    bool load(bool askName);
    bool save(bool askName);
    bool autoLoad();
    bool autoSave();

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
    std::vector<TrackPoint> points_;
    int capacity_ = 0;
    int count_ = 0;
    int datedCount_ = 0;
    int lastDatedIndex_ = -1;
};

}  // namespace wp2
