// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool decode LOG: runs a recorded NMEA log through the live
// decoding path and prints, as CSV, every fix offered to the track log.

#include <cstdio>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/nav/angles.h"
#include "tools/log_replay.h"
#include "tools/talkers_option.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

// Collects the fix of a sentence and writes its row once the whole sentence
// is applied, so the row shows the final flags.
class CsvRows final : public FixObserver {
public:
    explicit CsvRows(const GpsDecoder& decoder) : decoder_(decoder) {
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
        if (out_.size() >= 1 << 16) {
            flush();
        }
    }

    void discard() { out_.clear(); }

    void flush() {
        std::fwrite(out_.data(), 1, out_.size(), stdout);
        out_.clear();
    }

private:
    const GpsDecoder& decoder_;
    std::string out_;
    TrackPoint pending_;
    bool pendingKept_ = false;
    bool hasPending_ = false;
    long long lines_ = 0;
};

}  // namespace

namespace {

int runDecode(const std::vector<std::string>& args);

}  // namespace

extern const Command kDecodeCommand{"decode", "decode [--talkers any|gp] LOG", runDecode};

namespace {

int runDecode(const std::vector<std::string>& options) {
    std::vector<std::string> args = options;
    Talkers talkers = Talkers::Any;
    if (!takeTalkersOption(args, talkers) || args.size() != 1) {
        return usageError(kDecodeCommand);
    }
    LogReplay replay;
    replay.decoder().setTalkers(talkers);
    CsvRows rows(replay.decoder());
    replay.decoder().setFixObserver(&rows);
    if (!replay.run(args[0])) {
        rows.discard();
        return kExitFailure;
    }
    rows.flush();
    replay.decoder().setFixObserver(nullptr);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

}  // namespace wp2::tool
