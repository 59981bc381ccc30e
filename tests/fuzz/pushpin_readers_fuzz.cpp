// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the three pushpin readers (pushpin file, text,
// Geocaching) and merges what they read. A pushpin file that loads must save
// and load again to the same pushpins.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpins.h"

namespace {

std::FILE* openBytes(const std::uint8_t* data, std::size_t size) {
    // fmemopen refuses a zero-sized buffer; an empty file is one byte-less read.
    static const std::uint8_t empty = 0;
    return fmemopen(const_cast<std::uint8_t*>(size ? data : &empty), size ? size : 1, "rb");
}

void checkRoundTrip(wp2::Pushpins& pins) {
    char path[] = "/tmp/pushpin_fuzz_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) {
        return;
    }
    close(fd);
    if (pins.saveFile(path)) {
        wp2::Pushpins back;
        wp2::PushpinLoadResult r = back.loadFile(path);
        if (r.damaged || back.count() != pins.count()) {
            std::abort();
        }
        auto a = pins.begin();
        for (const wp2::Pushpin& b : back) {
            if (b.name != a->name || b.note != a->note || b.state != a->state) {
                std::abort();
            }
            ++a;
        }
    }
    std::remove(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    wp2::Pushpins main;
    main.addNew();
    main.setTargetIndex(0);

    wp2::Pushpins fromFile;
    if (std::FILE* f = openBytes(data, size)) {
        fromFile.loadFrom(f);
        std::fclose(f);
    }
    checkRoundTrip(fromFile);

    wp2::Pushpins fromCsv;
    if (std::FILE* f = openBytes(data, size)) {
        int line = 0;
        (void)wp2::readCsv(fromCsv, f, line);
        std::fclose(f);
    }
    wp2::Pushpins fromLoc;
    if (std::FILE* f = openBytes(data, size)) {
        wp2::readLoc(fromLoc, f);
        std::fclose(f);
    }
    int before = main.count();
    int added = wp2::mergeImported(main, fromCsv) + wp2::mergeImported(main, fromLoc);
    if (main.count() != before + added || main.targetIndex() != (added > 0 ? added : 0)) {
        std::abort();
    }
    return 0;
}
