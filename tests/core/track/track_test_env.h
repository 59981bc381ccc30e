#pragma once
// Shared set-up for the track tests: a private settings registry, the program's
// files under a temporary root, a scripted file dialog and fixes placed by
// metres around a fixed spot.

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/nav/geodesy.h"
#include "core/settings/reg_values.h"
#include "core/settings/registry.h"
#include "core/track/file_chooser.h"
#include "core/track/track_log.h"
#include "core/track/track_point.h"
#include "support/test_support.h"

namespace wp2::test {

// A registry in a map, installed for its lifetime.
class MapRegistry final : public Registry {
public:
    MapRegistry() : previous_(setRegistry(this)) {}
    ~MapRegistry() override { setRegistry(previous_); }

    int createKey(RegRoot, const std::string&) override { return kRegOk; }
    int openKey(RegRoot, const std::string&) override { return kRegOk; }
    int queryValue(RegRoot, const std::string& path, const std::string& name,
                   RegValue& out) override {
        auto it = values.find(path + "|" + name);
        if (it == values.end()) {
            return kRegFileNotFound;
        }
        out = it->second;
        return kRegOk;
    }
    int setValue(RegRoot, const std::string& path, const std::string& name,
                 const RegValue& value) override {
        values[path + "|" + name] = value;
        return kRegOk;
    }
    int deleteValue(RegRoot, const std::string& path, const std::string& name) override {
        return values.erase(path + "|" + name) ? kRegOk : kRegFileNotFound;
    }
    std::vector<std::pair<std::string, RegValue>> listValues(RegRoot, const std::string&) override {
        return {};
    }

    // A number in the settings key, or nothing.
    std::optional<std::uint32_t> number(const std::string& name) const {
        auto it = values.find(std::string(kSettingsKeyPath) + "|" + name);
        if (it == values.end() || it->second.type != RegType::Dword ||
            it->second.data.size() != 4) {
            return std::nullopt;
        }
        const auto& d = it->second.data;
        return std::uint32_t(d[0]) | std::uint32_t(d[1]) << 8 | std::uint32_t(d[2]) << 16 |
               std::uint32_t(d[3]) << 24;
    }
    void setNumber(const std::string& name, std::uint32_t v) {
        RegValue rv{
            RegType::Dword,
            {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}};
        values[std::string(kSettingsKeyPath) + "|" + name] = rv;
    }

    std::map<std::string, RegValue> values;

private:
    Registry* previous_;
};

// Answers file dialogs from a queue (an empty entry cancels) and records what
// it was asked.
class ScriptedChooser final : public FileChooser {
public:
    struct Asked {
        bool saving;
        FileDialogRequest request;
    };

    ScriptedChooser() { setFileChooser(this); }
    ~ScriptedChooser() override { setFileChooser(nullptr); }

    std::optional<std::string> openFile(const FileDialogRequest& r) override {
        return answer(false, r);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& r) override {
        return answer(true, r);
    }

    std::deque<std::optional<std::string>> answers;
    std::vector<Asked> asked;

private:
    std::optional<std::string> answer(bool saving, const FileDialogRequest& r) {
        asked.push_back({saving, r});
        if (answers.empty()) {
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Every track test runs with its own registry, file root and dialog.
class TrackTest : public ::testing::Test {
protected:
    MapRegistry registry_;
    TempDir root_{true};
    ScriptedChooser chooser_;
};

inline constexpr double kBaseLat = 0.8;  // radians, about 45.8 degrees north
inline constexpr double kBaseLon = 0.2;

// A dated RMC-like fix the given metres north and east of the base spot, at
// 12:00 plus `second` seconds on 15 June 2024, moving at `speed` knots.
inline TrackPoint fixAt(double north, double east, double second = 0.0, double speed = 5.0) {
    const double r = approxEarthRadius(kBaseLat);
    TrackPoint p;
    p.latitude = kBaseLat + north / r;
    p.longitude = kBaseLon + east / (r * std::cos(kBaseLat));
    p.altitude = 100.0;
    p.time.year = 24;
    p.time.month = 6;
    p.time.day = 15;
    p.time.hour = 12;
    p.time.minute = static_cast<std::uint8_t>(second / 60.0);
    p.time.seconds = std::fmod(second, 60.0);
    p.speed = speed;
    p.course = 0.0;
    p.dop = 1.5;
    p.state = TrackPointState::ThreeD;
    return p;
}

// The same position as a GGA fix would give it: no velocity, satellites known.
inline TrackPoint ggaAt(double north, double east, double second = 0.0, std::uint8_t sats = 7) {
    TrackPoint p = fixAt(north, east, second, 0.0);
    p.state = TrackPointState::FromGga | TrackPointState::NoVelocity | TrackPointState::Sats5Plus;
    p.satellites = sats;
    return p;
}

}  // namespace wp2::test
