// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool decode LOG: runs a recorded NMEA log through the live
// decoding path and prints, as CSV, every fix offered to the track log.

#include <cstdio>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/nav/angles.h"
#include "tools/log_replay.h"
#include "tools/std_streams.h"
#include "tools/talkers_option.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

// Collects the fix of a sentence and writes its row once the whole sentence
// is applied, so the row shows the final flags.
class CsvRows final : public FixObserver {
public:
    CsvRows(const GpsDecoder& decoder, bool live) : decoder_(decoder), live_(live) {
        out_ = "line,sentence,date,time,lat,lon,alt,speed,course,flags,kept\n";
    }
    ~CsvRows() override { flush(); }

    void fixOffered(const TrackPoint& point, bool kept) override {
        pending_ = point;
        pendingKept_ = kept;
        hasPending_ = true;
    }

    void sentenceApplied(std::string_view line) override {
        ++lines_;
        if (!hasPending_) {
            return;
        }
        hasPending_ = false;
        std::string sentence;
        for (std::size_t i = 1; i < 6 && i < line.size(); ++i) {
            sentence += static_cast<unsigned char>(line[i]) < 0x80 ? line[i] : '?';
        }
        const TrackPoint& p = pending_;
        std::string date;
        if (p.time.year != 0) {
            date = cformat("%04d-%02d-%02d", p.time.year + 2000, p.time.month, p.time.day);
        }
        out_ += cformat("%lld,%s,%s,%02d:%02d:%06.3f,%.9f,%.9f,%.3f,%.3f,%.3f,%u,%d\n", lines_,
                        sentence.c_str(), date.c_str(), p.time.hour, p.time.minute, p.time.seconds,
                        p.latitude * kRadToDeg, p.longitude * kRadToDeg, p.altitude, p.speed,
                        p.course, decoder_.state().flags, pendingKept_ ? 1 : 0);
        if (live_ || out_.size() >= 1 << 16) {
            flush();
        }
    }

    void discard() { out_.clear(); }

    void flush() {
        std::fwrite(out_.data(), 1, out_.size(), stdout);
        out_.clear();
        if (live_) {
            std::fflush(stdout);
        }
    }

private:
    const GpsDecoder& decoder_;
    const bool live_;
    std::string out_;
    TrackPoint pending_;
    bool pendingKept_ = false;
    bool hasPending_ = false;
    long long lines_ = 0;
};

}  // namespace

int runDecode(const Invocation& call) {
    const std::string& log = call.arguments[0];
    LogReplay replay;
    replay.decoder().setTalkers(talkersOf(call));
    // Rows of a log read as it arrives are written as they come.
    CsvRows rows(replay.decoder(), isStandardStream(log));
    replay.decoder().setFixObserver(&rows);
    if (!replay.run(log)) {
        rows.discard();
        return kExitFailure;
    }
    rows.flush();
    replay.decoder().setFixObserver(nullptr);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace wp2::tool
