// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/track/track_log.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <filesystem>
#include <new>
#include <utility>

#include "core/base/atomic_file.h"
#include "core/base/paths.h"
#include "core/nav/geodesy.h"
#include "core/settings/settings_store.h"
#include "core/track/track_file.h"
#include "core/track/track_filter.h"
#include "core/track/trip_computer.h"

namespace wp2 {

namespace {

bool has(std::uint32_t bits, std::uint32_t flag) {
    return (bits & flag) != 0;
}

// Thresholds are stored as hundredths, truncated. A value read back from the
// store (n * 0.01) times 100 can land a hair below n; that is rounding, not a
// fraction to cut off, so such values keep n and survive every load and save.
std::uint32_t storedHundredths(double value) {
    const double hundredths = value * 100.0;
    if (!(hundredths > 0.0)) {
        return 0;
    }
    if (hundredths >= 4294967295.0) {
        return UINT32_MAX;
    }
    const double whole = std::nearbyint(hundredths);
    if (std::fabs(hundredths - whole) <= 1e-9 * std::max(1.0, hundredths)) {
        return static_cast<std::uint32_t>(whole);
    }
    return static_cast<std::uint32_t>(hundredths);
}

void readHundredths(SettingsStore& store, const char* name, double& value) {
    if (const Result<std::uint32_t> stored = store.readNumber(name)) {
        value = *stored * 0.01;
    }
}

}  // namespace

TrackLog::TrackLog(const std::string& path)
    : autosavePath(path.empty() ? std::string(kLinkAutosavePath) : path) {
    clear();
    currentFileName = "Track";
}

TrackAutoLoad TrackLog::start(Registry& registry) {
    loadOptions(registry);
    return has(options, TrackState::AutoLoad) ? autoLoad() : TrackAutoLoad{};
}

Result<> TrackLog::finish(Registry& registry) {
    Result<bool> saved = has(options, TrackState::AutoSave) ? autoSave() : Result<bool>(false);
    points_.clear();
    saveOptions(registry);
    if (!saved) {
        return fail(saved.error());
    }
    return {};
}

std::string trackNotLoadedText(const Failure& failure) {
    return "The track file " + failure.what + " is damaged (" + failure.reason +
           ") and was not loaded.";
}

void TrackLog::clear() {
    points_.clear();
    points_.shrink_to_fit();
    capacity_ = 0;
    try {
        points_.resize(kTrackGrowth);
        capacity_ = kTrackGrowth;
    } catch (const std::bad_alloc&) {
        // The first append tries again.
    }
    count_ = 0;
    datedCount_ = 0;
    lastDatedIndex_ = -1;
    legacyA = 0.0;
    legacyB = 0.0;
}

bool TrackLog::append(const TrackPoint& point) {
    if (count_ == capacity_) {
        if (capacity_ > INT_MAX - kTrackGrowth) {
            return false;
        }
        try {
            // The storage underneath grows geometrically, so a long replay does
            // not copy the whole track every 1000 points; the capacity stored
            // in the track file still grows by 1000.
            points_.resize(static_cast<std::size_t>(capacity_ + kTrackGrowth));
        } catch (const std::bad_alloc&) {
            return false;
        }
        capacity_ += kTrackGrowth;
    }
    points_[static_cast<std::size_t>(count_)] = point;
    if (!has(point.state, TrackPointState::NoDate)) {
        lastDatedIndex_ = count_;
        ++datedCount_;
    }
    ++count_;
    return true;
}

bool TrackLog::addFix(TrackPoint& fix) {
    using namespace TrackPointState;
    if (has(options, TrackState::Paused)) {
        return false;
    }
    fix.state &= ~Marked;
    if (has(options, TrackState::MarkPoints)) {
        fix.state |= Marked;
    }
    // What the track file's reader would refuse is never stored, nor merged.
    if (!impossibleValue(fix).empty()) {
        return false;
    }
    if (trip_) {
        trip_->fixSeen(fix);
    }
    if (count_ > 0) {
        mergeInto(last(), fix);
    }

    std::optional<double> distance;
    if (has(options, TrackState::ParkingFilter) && count_ > 0) {
        if (has(fix.state, NoDate)) {
            return false;
        }
        distance = approxDistance(fix.position(), last().position());
        if (*distance < parkingThreshold) {
            return false;
        }
        if (*distance < 3.0 * parkingThreshold && fix.speed == 0.0) {
            return false;
        }
    }
    if (has(options, TrackState::StraightFilter) && count_ > 1) {
        if (!distance) {
            distance = approxDistance(fix.position(), last().position());
        }
        const TrackPoint& beforeLast = points_[static_cast<std::size_t>(count_ - 2)];
        if (*distance < straightThreshold &&
            straightDeviation(fix, last(), beforeLast, *distance) < parkingThreshold) {
            return false;
        }
    }

    if (count_ > 0 && mergeApplies(last().state, fix.state)) {
        return true;
    }
    if (has(fix.state, NoDate)) {
        return true;
    }
    if (datedCount_ == 0) {
        if (!append(fix)) {
            return false;
        }
        last().state |= SegmentStart | SegmentEnd;
        if (trip_) {
            trip_->pointStored(fix);
        }
        return true;
    }
    const double gap =
        fixTimeDifference(points_[static_cast<std::size_t>(lastDatedIndex_)].time, fix.time);
    if (!append(fix)) {
        return false;
    }
    if (trip_) {
        trip_->pointStored(fix);
    }
    TrackPoint& previous = points_[static_cast<std::size_t>(count_ - 2)];
    if (has(options, TrackState::SplitOnGap) && gap > kFixGap) {
        previous.state |= SegmentEnd;
        last().state |= SegmentStart | SegmentEnd;
    } else {
        previous.state &= ~SegmentEnd;
        last().state |= SegmentEnd;
    }
    return true;
}

void TrackLog::signalLost() {
    if (trip_) {
        trip_->signalLost();
    }
    if (datedCount_ != 0) {
        points_[static_cast<std::size_t>(lastDatedIndex_)].state |= TrackPointState::SegmentEnd;
    }
}

std::optional<TrackPoint> TrackLog::pointFromEnd(int i) const {
    if (i < 0 || i >= count_) {
        return std::nullopt;
    }
    return points_[static_cast<std::size_t>(count_ - 1 - i)];
}

void TrackLog::loadOptions(Registry& registry) {
    SettingsStore store(registry);
    const Result<std::uint32_t> state = store.readNumber(kTrackStateValue);
    if (!state) {
        saveOptions(registry);
        return;
    }
    options = *state;
    readHundredths(store, kTrackPdopThresholdValue, pdopThreshold);
    readHundredths(store, kTrackStraightThresholdValue, straightThreshold);
    readHundredths(store, kTrackParkingThresholdValue, parkingThreshold);
    readHundredths(store, kTrackWidthValue, width);
}

void TrackLog::saveOptions(Registry& registry) {
    SettingsStore store(registry);
    // A store that cannot be written tells the user itself.
    (void)store.writeNumber(kTrackStateValue, options);
    (void)store.writeNumber(kTrackPdopThresholdValue, storedHundredths(pdopThreshold));
    (void)store.writeNumber(kTrackStraightThresholdValue, storedHundredths(straightThreshold));
    (void)store.writeNumber(kTrackParkingThresholdValue, storedHundredths(parkingThreshold));
    (void)store.writeNumber(kTrackWidthValue, storedHundredths(width));
}

void TrackLog::adopt(TrackFileImage&& image) {
    points_ = std::move(image.points);
    capacity_ = image.capacity;
    count_ = image.count;
    datedCount_ = image.datedCount;
    lastDatedIndex_ = image.lastDatedIndex;
    reserved = image.reserved;
    if (image.hasLegacy) {
        legacyA = image.legacyA;
        legacyB = image.legacyB;
    }
}

bool TrackLog::replaceTrack(std::vector<TrackPoint> points) {
    if (points.size() > static_cast<std::size_t>(INT_MAX - kTrackGrowth)) {
        return false;
    }
    const int count = static_cast<int>(points.size());
    TrackFileImage image;
    image.count = count;
    image.capacity = (count / kTrackGrowth + 1) * kTrackGrowth;
    image.datedCount = 0;
    image.lastDatedIndex = -1;
    image.reserved = reserved;
    for (int i = 0; i < count; ++i) {
        if (!has(points[static_cast<std::size_t>(i)].state, TrackPointState::NoDate)) {
            ++image.datedCount;
            image.lastDatedIndex = i;
        }
    }
    try {
        points.resize(static_cast<std::size_t>(image.capacity));
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.points = std::move(points);
    adopt(std::move(image));
    return true;
}

Result<bool> TrackLog::load() {
    if (currentFileName.empty()) {
        return false;
    }
    const std::string path = Paths::map(currentFileName);
    std::string problem;
    auto image = TrackFile::read(path, &problem);
    if (!image) {
        if (!problem.empty()) {
            return fail(path, problem);
        }
        return false;
    }
    adopt(std::move(*image));
    return true;
}

Result<bool> TrackLog::save() {
    if (currentFileName.empty()) {
        return false;
    }
    const std::string path = Paths::map(currentFileName);
    const std::string folder = std::filesystem::path(path).parent_path().string();
    std::string error;
    bool saved = false;
    if (!folder.empty() && !Paths::makeDirs(folder)) {
        error = systemErrorText(errno);
    } else {
        try {
            const std::vector<std::uint8_t> bytes = TrackFile::encode(
                capacity_, datedCount_, lastDatedIndex_, reserved, points_.data(), count_);
            // An unchanged track is not written again.
            saved = fileHolds(path, bytes);
            if (!saved) {
                const Result<> written = replaceFileAtomically(path, bytes);
                saved = written.has_value();
                error = saved ? "" : written.error().reason;
            }
        } catch (const std::bad_alloc&) {
            error = "not enough memory";
        }
    }
    if (!saved) {
        return fail(path, error);
    }
    return true;
}

TrackAutoLoad TrackLog::autoLoad() {
    TrackAutoLoad result;
    if (autosavePath.empty()) {
        return result;
    }
    // A damaged autosave file is kept aside and what can be trusted of it is
    // loaded, so that the next autosave does not replace it unseen.
    const std::string path = Paths::map(autosavePath);
    std::string problem;
    auto image = TrackFile::read(path, &problem);
    if (!image && !problem.empty()) {
        image = TrackFile::salvage(path);
        const Result<std::string> kept = keepAside(path);
        result.damage = "The track file " + path + " is damaged (" + problem + "). " +
                        std::to_string(image ? image->count : 0) + " points were recovered.\n" +
                        (kept ? "The damaged file was kept as " + *kept + "."
                              : "It could not be moved aside (" + kept.error().reason + ").");
    }
    if (image) {
        adopt(std::move(*image));
        result.loaded = true;
    }
    return result;
}

Result<bool> TrackLog::autoSave() {
    if (autosavePath.empty()) {
        return false;
    }
    std::string kept = std::exchange(currentFileName, autosavePath);
    Result<bool> saved = save();
    currentFileName = std::move(kept);
    return saved;
}

}  // namespace wp2
