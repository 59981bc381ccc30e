// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the track file loader: any bytes either load as a consistent track
// that can be recorded on and written out again, or are refused with the
// track in memory left as it was.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/base/paths.h"
#include "core/track/track_file.h"
#include "core/track/track_log.h"

namespace {

struct Bench {
    Bench() {
        char tmpl[] = "/tmp/wp2fuzz-XXXXXX";
        if (!mkdtemp(tmpl)) {
            std::abort();
        }
        folder = tmpl;
        file = folder + "/input.atk";
        wp2::Paths::setRoot(folder);
        log = new wp2::TrackLog(folder + "/autosave.atk");
        log->options = 0;  // no autosave at exit, no filter
    }
    std::string folder;
    std::string file;
    wp2::TrackLog* log;  // left alive at exit on purpose
};

void require(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

void writeInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    require(f != nullptr);
    require(std::fwrite(data, 1, size, f) == size);
    std::fclose(f);
}

void exercise(wp2::TrackLog& log) {
    const int count = log.count();
    require(count >= 0 && count <= log.capacity());
    require(log.lastDatedIndex() >= -1 && log.lastDatedIndex() < count);
    require(log.datedCount() >= 0 && log.datedCount() <= count);
    log.signalLost();
    if (count > 0) {
        require(log.pointFromEnd(0).has_value());
        require(log.pointFromEnd(count - 1).has_value());
    }
    require(!log.pointFromEnd(count).has_value());
    wp2::TrackPoint p = wp2::pointFromPosition(0.5, 0.5, 10.0);
    p.time.year = 24;
    if (count > 0) {
        // Of the same kind as the newest point, so that it is stored, not merged.
        p.state |= log.pointFromEnd(0)->state & wp2::TrackPointState::NoVelocity;
    }
    require(log.addFix(p));
    require(log.count() == count + 1);
    const auto bytes =
        wp2::TrackFile::encode(log.capacity(), log.datedCount(), log.lastDatedIndex(), log.reserved,
                               &log.at(0), log.count());
    require(bytes.size() == wp2::kTrackHeaderSize + wp2::kTrackRecordSize * (count + 1u));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Bench bench;
    wp2::TrackLog& log = *bench.log;
    writeInput(bench.file, data, size);
    const int countBefore = log.count();
    const int capacityBefore = log.capacity();
    log.currentFileName = bench.file;
    if (log.load().value_or(false)) {
        exercise(log);
    } else {
        require(log.count() == countBefore && log.capacity() == capacityBefore);
    }
    return 0;
}
